#pragma once
// What a window manager does when the player clicks a window's close button.

namespace testsupport {

// Sends the window the WM_DELETE_WINDOW message on the X display of DISPLAY; false when the
// display cannot be opened.
bool requestWindowClose(unsigned long window);

}  // namespace testsupport
