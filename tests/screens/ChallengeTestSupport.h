#pragma once
// Clicks and sound checks shared by the challenge panel tests (a PanelTestBed's GUI).
#include "audio/Sound.h"
#include "support/GameHarness.h"

#include <cstdlib>
#include <string>

#include <MyGUI.h>

namespace challengetest {

// A left click in the middle of the widget, through the GUI's input (so it reaches the widget's
// own delegates, or whatever lies on top of it).
inline void click(const MyGUI::Widget* widget)
{
    const MyGUI::IntCoord c = widget->getAbsoluteCoord();
    const int x = c.left + c.width / 2, y = c.top + c.height / 2;
    auto& input = MyGUI::InputManager::getInstance();
    input.injectMouseMove(x, y, 0);
    input.injectMousePress(x, y, MyGUI::MouseButton::Left);
    input.injectMouseRelease(x, y, MyGUI::MouseButton::Left);
    // Off again, so the next click is a fresh one.
    input.injectMouseMove(0, 0, 0);
}

// Stops the sound and makes it loop, so that a later isPlaying() tells whether something played
// it since, also on a machine slow enough for the click to end before the check.
inline void silence(audio::Sound* sound)
{
    if (sound) {
        sound->stop();
        sound->setLoop(true);
    }
}

using testsupport::keepShot;

}  // namespace challengetest
