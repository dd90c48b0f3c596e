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
