// Resource identifiers shared by Veltra.rc and the C++ sources.
#pragma once

#define IDR_MAINFRAME 128      // program icon (veltra.ico)
#define IDI_TOUCH_DISABLED 132 // notification-area icon: touch panel off
#define IDI_TOUCH_ENABLED 133  // notification-area icon: touch panel on
