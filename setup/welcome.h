// The WELCOME screen: Install, Remove or Cancel.
#pragma once
#include <windows.h>

// Shows it modally over the background window; the id of the button
// pressed (IDC_WELCOME_INSTALL, IDC_WELCOME_REMOVE or IDCANCEL), or 0 when
// it was closed otherwise.
INT_PTR RunWelcomeScreen();
