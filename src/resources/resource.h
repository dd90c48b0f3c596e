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

// Strings (strings.rc). A Japanese twin, where there is one, has the same
// identifier plus IDS_JAPANESE_OFFSET (ui::kJapaneseStringOffset).
#define IDS_JAPANESE_OFFSET 0x1000
#define IDS_NEED_WINDOWS8 1100  // start-up on an older Windows
#define IDS_DEVICE_ERROR 1101   // the first drive of the device failed
#define IDS_HOOK_FAILED 1102    // the Windows-key hook could not be installed
#define IDS_TRAY_ERROR 1103     // "%d": the notification icon could not be added

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
