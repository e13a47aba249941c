#pragma once
// The navigation inputs the three-button panels read: keys held, the wheel, and the pad's first
// hat and axes (only while the pad is enabled and present).
#include <cstdint>

namespace OIS {
class Keyboard;
class JoyStick;
class Mouse;
}

namespace panelinput {

bool keyDown(const OIS::Keyboard* keyboard, int key);
// Relative wheel motion of this frame (0 without a mouse).
int wheel(const OIS::Mouse* mouse);
bool rightButtonDown(const OIS::Mouse* mouse);
// The direction bits of hat 0, or 0 (centred) when the pad is not to be read.
int hat(const OIS::JoyStick* joystick, bool padEnabled);
// Whether pad button `index` is down (false when the pad is not to be read or lacks it).
bool padButtonDown(const OIS::JoyStick* joystick, bool padEnabled, int index);
// Axis `index`'s value, or 0 when the pad is not to be read or has no such axis.
int axis(const OIS::JoyStick* joystick, bool padEnabled, int index);

constexpr int kAxisLow = -16384;   // below: previous
constexpr int kAxisHigh = 16383;   // above: next

}  // namespace panelinput
