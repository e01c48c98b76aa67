#pragma once
// What a window manager's close box sends, for the window test. libX11 is loaded at run time, so that the tests link
// nothing more.

#include <string>

// Asks Window to close (WM_PROTOCOLS / WM_DELETE_WINDOW). False when the display or libX11 cannot be reached.
bool RequestWindowClose(const std::string& DisplayName, unsigned long Window);
