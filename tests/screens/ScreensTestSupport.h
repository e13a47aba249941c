#pragma once
// Shortcuts for the front-end screen tests: go straight to a state, as a leaving state would.
#include "core/ZV_GameState.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

namespace screenstest {

// Ends the current state with `nextStateId` and runs the frame that builds the next one. A state
// on its first frame only starts up, so that frame runs first.
inline void switchTo(testsupport::GameHarness& game, uint32_t nextStateId)
{
    if (game.state()->firstFrame)
        game.frame();
    game.state()->nextStateId = nextStateId;
    game.state()->done = 1;
    game.frame();
}

// The number of true values among a few widgets' visibility.
template <class... W>
int visibleCount(const W*... widgets)
{
    return ((widgets && widgets->getVisible() ? 1 : 0) + ...);
}

}  // namespace screenstest

#include <OgreRenderSystem.h>
#include <OgreRoot.h>

#include <optional>
#include <string>
#include <vector>

namespace screenstest {

// Replaces some of the render system's option lists for a scope, as another render system
// would offer them; a missing list (nullopt) removes the option.
class ScopedRenderOptions {
public:
    ScopedRenderOptions(Ogre::Root* root, const std::string& name, std::optional<std::vector<std::string>> values)
        : options_(const_cast<Ogre::ConfigOptionMap&>(root->getRenderSystem()->getConfigOptions())),
          saved_(options_)
    {
        if (!values) {
            options_.erase(name);
            return;
        }
        Ogre::ConfigOption& option = options_[name];
        option.name = name;
        option.possibleValues.assign(values->begin(), values->end());
        option.currentValue = values->empty() ? "" : values->front();
    }
    ~ScopedRenderOptions() { options_ = saved_; }
    ScopedRenderOptions(const ScopedRenderOptions&) = delete;
    ScopedRenderOptions& operator=(const ScopedRenderOptions&) = delete;

private:
    Ogre::ConfigOptionMap& options_;
    Ogre::ConfigOptionMap saved_;
};

}  // namespace screenstest
