#pragma once
// A few requests to an X display, for the window test: what a window manager's close box sends, and a window's
// pixels. libX11 is loaded at run time, so that the tests link nothing more.

#include <cstdint>
#include <string>
#include <vector>

// Asks Window to close as a window manager does (WM_PROTOCOLS / WM_DELETE_WINDOW). False when the display or
// libX11 cannot be reached.
bool RequestWindowClose(const std::string& DisplayName, unsigned long Window);
// The window's pixels as 0xRRGGBB values, row by row; false unless it is a 24-bit window of Width x Height.
bool WindowPixels(const std::string& DisplayName, unsigned long Window, int Width, int Height,
                  std::vector<std::uint32_t>& Pixels);
