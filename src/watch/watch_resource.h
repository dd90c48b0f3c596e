// Resource identifiers of Veltrawatch.exe.
#pragma once

#define IDR_WATCH_MAINFRAME 128  // the program's icon
#define IDR_WATCH_MENU 130       // the notification icon's menu
#define IDI_WATCHING 132         // the notification icon while watching
#define IDI_PAUSED 133           // ... and while paused
#define ID_WATCH_EXIT 32783
