// The program's private messages, all in one range beside WM_USER: those
// fixed by its contract with other programs and its own. None carries a
// pointer; each is checked where it is taken, since any process may post
// any of them.
#pragma once
#include <windows.h>

// To the main window, from a second start: come to the front.
const UINT WM_SHOWMAINWINDOW = WM_USER + 101;  // 1125
// The main window's answer to a second start's message (this one, or
// WM_HOTKEY with the number it was given) when it took the request; an
// ending program answers 0.
const LRESULT RequestTaken = 1;
// To the main window, from the installer before it replaces the program:
// end at once.
const UINT WM_QUITNOW = WM_USER + 102;  // 1126
// To the main window, from the shell: a mouse event on the tray icon.
const UINT WM_TRAYICON = WM_USER + 103;  // 1127
// To the main window, from the refresh thread: a gathered pass waits to be
// applied.
const UINT WM_APPLYREFRESH = WM_USER + 104;  // 1128
// To the help thread: a request for the viewer.
const UINT WM_HELPREQUEST = WM_USER + 105;  // 1129
// To the item list, from the icon loader's thread: icons wait to be taken.
const UINT WM_ROWICONS = WM_USER + 106;  // 1130

// The first and last of the main window's messages above, dispatched in
// one place.
const UINT FirstMainWindowMessage = WM_SHOWMAINWINDOW;
const UINT LastMainWindowMessage = WM_APPLYREFRESH;

// Sent by the item list's drag to the list view under the cursor: may a
// drop land here? Fixed by the drag's contract below WM_USER.
const UINT WM_DROPHOVER = 555;
