// Resource identifiers shared by Veltra.rc and the C++ sources.
#pragma once

#define IDR_MAINFRAME 128      // program icon (veltra.ico)
#define IDI_TOUCH_DISABLED 132 // notification-area icon: touch panel off
#define IDI_TOUCH_ENABLED 133  // notification-area icon: touch panel on

#define IDD_VELTRA_DIALOG 102  // the status window
#define IDR_TRAY_MENU 134      // the notification-icon menu
#define IDC_STATE_TEXT 1001    // the status window's text

#define ID_TOUCH_ENABLE 32774
#define ID_TOUCH_DISABLE 32775
#define ID_APP_EXIT 32776
#define ID_MOVE_TO_CENTER 32779
#define ID_CONFIGURATION 32781
#define ID_FOLLOW_POSTURE 32782  // "&Follow tablet posture", ticked while on
#define ID_FOLLOW_DISPLAY 32786  // "Follow its &Screen", ticked while on
#define ID_FOLLOW_PEN 32787      // "&Pen Turns Touch Off", ticked while on
#define ID_CLEAN_SCREEN 32785    // "C&lean Screen", "End C&leaning" while a cleaning runs

// Strings (strings.rc). A Japanese twin, where there is one, has the same
// identifier plus IDS_JAPANESE_OFFSET.
#include "japanese_offset.h"
#define IDS_NEED_WINDOWS8 1100  // start-up on an older Windows
#define IDS_DEVICE_ERROR 1101   // the first drive of the device failed
#define IDS_HOOK_FAILED 1102    // the Windows-key hook could not be installed
#define IDS_TRAY_ERROR 1103     // "%d": the notification icon could not be added
#define IDS_SETTINGS_NOT_SAVED 1104  // "%s": the settings file that could not be written
#define IDS_MENU_FOLLOW_POSTURE 1105 // the menu's "&Follow tablet posture", whose template text is English only
#define IDS_MENU_FOLLOW_DISPLAY 1120 // the menu's "Follow its &Screen", the same way
#define IDS_MENU_FOLLOW_PEN 1121     // the menu's "&Pen Turns Touch Off", the same way
#define IDS_MENU_CLEAN_SCREEN 1110   // the menu's "C&lean Screen"
#define IDS_MENU_END_CLEANING 1111   // the same item while a cleaning runs
#define IDS_CLEANING_LEFT 1112       // "%d": the status text and tip while cleaning, seconds left

// The target device selection dialog (device_select.rc).
#define IDD_INIT_DIALOG 137
#define IDC_INIT_TEST_START 1034    // "Test Start", the countdown during a test
#define IDC_INIT_DEVICE_LIST 1035   // one item per device, in list order (unsorted)
#define IDC_INIT_DEVICE_NAME 1047   // description of the selected device
#define IDC_INIT_SYSTEM_INFO 1060   // the machine's touch input
#define IDC_INIT_DEVICE_NUMBER 1061 // "No. 01": the selected item, counted from 1

// Its texts.
#define IDS_INIT_TEST_NOTICE 1200     // before a test disables the device
#define IDS_INIT_ASK_DISABLED 1201    // after the test: did the panel stop?
#define IDS_INIT_TRY_ANOTHER 1202     // it did not
#define IDS_INIT_ASK_TARGET 1203      // it did: take this device?
#define IDS_INIT_NO_DEVICE 1204       // the list is empty
#define IDS_INIT_TIP_LIST 1205        // tooltips of the combo box and the three buttons
#define IDS_INIT_TIP_TEST 1206
#define IDS_INIT_TIP_OK 1207
#define IDS_INIT_TIP_CANCEL 1208
#define IDS_INIT_TEST_START 1209      // the test button at rest
#define IDS_INIT_TESTING 1210         // the test button while the device goes off
#define IDS_INIT_TESTING_COUNT 1211   // "%d": seconds left of the test
#define IDS_INIT_DEVICE_NUMBER 1212   // "%02d": the selected item, counted from 1
#define IDS_SYSINFO_PREFIX 1213       // the touch-input line starts with this
#define IDS_SYSINFO_NO_TOUCH 1214     // NID_READY clear
#define IDS_SYSINFO_MULTI_TOUCH 1215  // "%s%d": the prefix and SM_MAXIMUMTOUCHES
#define IDS_SYSINFO_DIGITIZER 1216    // ready, single input, a touch bit set
#define IDS_SYSINFO_NO_DIGITIZER 1217 // ready, single input, no touch bit
#define IDS_TASK_XML_FAILED 1300      // the lock task's definition file could not be created

// The configuration dialog (config_dialog.rc). Its controls, named after
// what they edit; src/config/config_controls.cpp says which setting each
// one reaches. 1026 and 1029 are not used.
#define IDD_CONFIG_DIALOG 136
#define IDC_CFG_ENABLE_FONT 1003            // "Font Select", enabled state
#define IDC_CFG_ENABLE_WINDOW_COLOR 1004
#define IDC_CFG_DISABLE_WINDOW_COLOR 1005
#define IDC_CFG_ENABLE_TEXT_COLOR 1006
#define IDC_CFG_DISABLE_TEXT_COLOR 1007
#define IDC_CFG_ENABLE_TEXT 1008            // edit: the window text while enabled
#define IDC_CFG_DISABLE_TEXT 1009           // edit: the window text while disabled
#define IDC_CFG_DISABLE_FONT 1010
#define IDC_CFG_HOTKEY 1011                 // hot-key control
#define IDC_CFG_HORIZONTAL_WIDTH 1012       // scroll bars of the window size
#define IDC_CFG_HORIZONTAL_HEIGHT 1013
#define IDC_CFG_HOTKEY_APPLY 1014
#define IDC_CFG_VERTICAL_WIDTH 1015
#define IDC_CFG_VERTICAL_HEIGHT 1016
#define IDC_CFG_SNAP_ENABLE 1017
#define IDC_CFG_SNAP_WIDTH 1018             // scroll bar
#define IDC_CFG_TRANSPARENT 1019            // scroll bar: opacity in percent
#define IDC_CFG_HORIZONTAL_WIDTH_VALUE 1020 // labels showing a scroll bar's value
#define IDC_CFG_VERTICAL_WIDTH_VALUE 1021
#define IDC_CFG_HORIZONTAL_HEIGHT_VALUE 1022
#define IDC_CFG_VERTICAL_HEIGHT_VALUE 1023
#define IDC_CFG_SNAP_WIDTH_VALUE 1024
#define IDC_CFG_TRANSPARENT_VALUE 1025
#define IDC_CFG_ENABLE_ICON 1027            // "Icon Select", enabled state
#define IDC_CFG_DISABLE_ICON 1028
#define IDC_CFG_WINDOW_ENABLE 1030
#define IDC_CFG_HOTKEY_ENABLE 1031
#define IDC_CFG_FIXED_POS 1032
#define IDC_CFG_LBUTTON_MODE_0 1033         // single click shows/hides the window
#define IDC_CFG_LBUTTON_MODE_1 1034         // single click switches the panel
#define IDC_CFG_ALWAYS_TOP 1035
#define IDC_CFG_HWALLPAPER_CENTER 1036      // landscape wallpaper style radios
#define IDC_CFG_HWALLPAPER_TILE 1037
#define IDC_CFG_HWALLPAPER_STRETCH 1038
#define IDC_CFG_VWALLPAPER_CENTER 1039      // portrait wallpaper style radios
#define IDC_CFG_VWALLPAPER_TILE 1040
#define IDC_CFG_VWALLPAPER_STRETCH 1041
#define IDC_CFG_HWALLPAPER_PATH 1042        // labels showing the wallpaper files
#define IDC_CFG_VWALLPAPER_PATH 1043
#define IDC_CFG_HWALLPAPER_ENABLE 1044
#define IDC_CFG_VWALLPAPER_ENABLE 1045
#define IDC_CFG_HWALLPAPER_SELECT 1046
#define IDC_CFG_VWALLPAPER_SELECT 1047
#define IDC_CFG_DETECT_RESUME 1048
#define IDC_CFG_TASK_STARTUP 1049
#define IDC_CFG_TASK_BOOT 1050
#define IDC_CFG_TASK_LOCK 1051
#define IDC_CFG_REDRAW_TRAY 1052
#define IDC_CFG_HOTKEY_MODE_TOGGLE 1053
#define IDC_CFG_HOTKEY_MODE_ENABLE 1054     // radio without text; its label is ..._LABEL
#define IDC_CFG_HOTKEY_MODE_DISABLE 1055
#define IDC_CFG_OVERRIDE_WINKEY 1056
#define IDC_CFG_WINKEY_MODE_TOGGLE 1057
#define IDC_CFG_WINKEY_RESPONSE 1058        // up-down: the response time step
#define IDC_CFG_DEVICE_SELECT 1059
#define IDC_CFG_WINKEY_MODE_ENABLE 1060
#define IDC_CFG_WINKEY_RESPONSE_VALUE 1061  // label: the response time in ms
#define IDC_CFG_WINKEY_MODE_DISABLE 1062
#define IDC_CFG_HOTKEY_MODE_ENABLE_LABEL 1063   // labels that select their radio when clicked
#define IDC_CFG_HOTKEY_MODE_DISABLE_LABEL 1064
#define IDC_CFG_WINKEY_MODE_ENABLE_LABEL 1065
#define IDC_CFG_WINKEY_MODE_DISABLE_LABEL 1066
#define IDC_CFG_FOLLOW_POSTURE 1067

// The configuration dialog's tooltips (config_tooltips.rc), in the order the
// dialog creates them. The response-time label and its up-down control share
// one text.
#define IDS_CFG_TIP_ENABLE_TEXT 1400
#define IDS_CFG_TIP_DISABLE_TEXT 1401
#define IDS_CFG_TIP_ENABLE_WINDOW_COLOR 1402
#define IDS_CFG_TIP_DISABLE_WINDOW_COLOR 1403
#define IDS_CFG_TIP_ENABLE_TEXT_COLOR 1404
#define IDS_CFG_TIP_DISABLE_TEXT_COLOR 1405
#define IDS_CFG_TIP_ENABLE_FONT 1406
#define IDS_CFG_TIP_DISABLE_FONT 1407
#define IDS_CFG_TIP_ENABLE_ICON 1408
#define IDS_CFG_TIP_DISABLE_ICON 1409
#define IDS_CFG_TIP_HORIZONTAL_WIDTH 1410
#define IDS_CFG_TIP_VERTICAL_WIDTH 1411
#define IDS_CFG_TIP_HORIZONTAL_HEIGHT 1412
#define IDS_CFG_TIP_VERTICAL_HEIGHT 1413
#define IDS_CFG_TIP_HWALLPAPER_CENTER 1414
#define IDS_CFG_TIP_VWALLPAPER_CENTER 1415
#define IDS_CFG_TIP_HWALLPAPER_TILE 1416
#define IDS_CFG_TIP_VWALLPAPER_TILE 1417
#define IDS_CFG_TIP_HWALLPAPER_STRETCH 1418
#define IDS_CFG_TIP_VWALLPAPER_STRETCH 1419
#define IDS_CFG_TIP_HWALLPAPER_ENABLE 1420
#define IDS_CFG_TIP_VWALLPAPER_ENABLE 1421
#define IDS_CFG_TIP_HWALLPAPER_SELECT 1422
#define IDS_CFG_TIP_VWALLPAPER_SELECT 1423
#define IDS_CFG_TIP_SNAP_ENABLE 1424
#define IDS_CFG_TIP_SNAP_WIDTH 1425
#define IDS_CFG_TIP_TRANSPARENT 1426
#define IDS_CFG_TIP_HOTKEY_ENABLE 1427
#define IDS_CFG_TIP_HOTKEY 1428
#define IDS_CFG_TIP_HOTKEY_APPLY 1429
#define IDS_CFG_TIP_HOTKEY_MODE_TOGGLE 1430
#define IDS_CFG_TIP_HOTKEY_MODE_ENABLE 1431
#define IDS_CFG_TIP_HOTKEY_MODE_DISABLE 1432
#define IDS_CFG_TIP_TASK_STARTUP 1433
#define IDS_CFG_TIP_TASK_BOOT 1434
#define IDS_CFG_TIP_TASK_LOCK 1435
#define IDS_CFG_TIP_DETECT_RESUME 1436
#define IDS_CFG_TIP_WINDOW_ENABLE 1437
#define IDS_CFG_TIP_FIXED_POS 1438
#define IDS_CFG_TIP_ALWAYS_TOP 1439
#define IDS_CFG_TIP_LBUTTON_MODE_0 1440
#define IDS_CFG_TIP_LBUTTON_MODE_1 1441
#define IDS_CFG_TIP_REDRAW_TRAY 1442
#define IDS_CFG_TIP_OVERRIDE_WINKEY 1443
#define IDS_CFG_TIP_WINKEY_RESPONSE 1444
#define IDS_CFG_TIP_WINKEY_MODE_TOGGLE 1445
#define IDS_CFG_TIP_WINKEY_MODE_ENABLE 1446
#define IDS_CFG_TIP_WINKEY_MODE_DISABLE 1447
#define IDS_CFG_TIP_DEVICE_SELECT 1448
#define IDS_CFG_TIP_FOLLOW_POSTURE 1449

// The icon picker (icon_dialog.rc): the file's path, and its icons, item i
// being the file's icon i.
#define IDD_ICON_DIALOG 129
#define IDC_ICON_BROWSE 3   // "&Browse...": choose the file in the open-file dialog
#define IDC_ICON_FILE 1000
#define IDC_ICON_LIST 1004
