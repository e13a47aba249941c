#pragma once
#include "core/ZV_GameState.h"
#include "cutscenes/CutsceneSequence.h"

#include <memory>
#include <string>

namespace Ogre {
class RenderWindow;
class SceneManager;
class Viewport;
}
namespace MyGUI {
class Gui;
}
namespace audio {
class SoundManager;
}
class GameSession;
class GlobalSounds;
class FadeOverlay;
class SceneCreator;
class BasicCutScene;

// Plays the cutscene sequence the session names, entry after entry, each by the player its type
// asks for, behind a fade from black; then hands over to the next state (or to a queued
// follow-up sequence).
class GS_Cutscene : public ZV_GameState {
public:
    static constexpr uint32_t kStateId = 15;
    static constexpr double kFadeInTime = 0.5;

    // The game core passes an extra name; the sequence is always the session's cutscene name.
    GS_Cutscene(Ogre::RenderWindow* window, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                MyGUI::Gui* gui, FadeOverlay* fadeOverlay, const std::string& unusedName, GameSession* session,
                Ogre::Viewport* viewport, SceneCreator* sceneCreator, GlobalSounds* globalSounds);
    ~GS_Cutscene() override;

    bool update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    // Rebuild the cache from the .ini (authoring path; the running game only reads the cache).
    virtual void loadSequenceIni();
    // A missing or damaged cache leaves the sequence empty: the state then leaves at once.
    virtual void readSequenceCache();
    virtual void writeSequenceCache();

    BasicCutScene* getPlayer() const { return player.get(); }
    uint32_t getEntryCount() const { return sequence.entryCount; }
    uint32_t getCurrentEntry() const { return currentEntry; }

private:
    void startupStep();
    void createPlayer(uint32_t i);
    void leaveSequence();
    uint32_t languageCount() const;

    std::unique_ptr<BasicCutScene> player;
    CutsceneSequence sequence;
    uint32_t currentEntry = 0;
};
