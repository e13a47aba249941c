#pragma once
// The cutscene engine plus what a dialog player and the cutscene state are handed by the game:
// sounds, the fader, settings and session. Sequences are written as .ini text and read straight
// into definitions (or into their cache, for the state).
#include "CutsceneTestEngine.h"
#include "audio/SoundManager.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/GlobalSounds.h"
#include "cutscenes/CutsceneSequence.h"
#include "cutscenes/DialogCutScene.h"

#include <memory>
#include <string>

namespace dialogtest {

class DialogRig {
public:
    DialogRig();
    ~DialogRig();

    // Writes the sequence source and reads it with `languages` texts per phrase.
    std::unique_ptr<CutsceneSequence> loadSequence(const std::string& name, const std::string& ini,
                                                   uint32_t languages = 0);
    // Writes the source and its cache, as the data builder does, for a profile without languages.
    void writeSequenceCache(const std::string& name, const std::string& ini);
    // A dialog player of entry `index` of the sequence, as the cutscene state makes it.
    std::unique_ptr<DialogCutScene> makePlayer(const CutsceneSequence& sequence, uint32_t index = 0);
    // One frame: input applied, the player updated, the frame drawn (GUI controllers run).
    void frame(DialogCutScene& player, float dt = 1.0f / 60.0f);
    // Return (or another key) down for one frame, then up for one frame.
    void tap(DialogCutScene& player, OIS::KeyCode key = OIS::KC_RETURN, float dt = 1.0f / 60.0f);

    Ogre::Viewport* viewport() const;
    Ogre::SceneManager* scene() const;

    playertest::CutsceneEngine engine;
    Ogre::SceneManager* sceneManager = nullptr;
    audio::SoundManager sounds;
    FadeOverlay fader;
    GameSettings settings;
    GameSession session{nullptr, &settings};
    GlobalSounds globalSounds{&sounds};
};

// A character section: one pose of `w` x `h` with pivot (px, py), shown from the start, placed
// by `align` and the offset.
std::string character(int c, int align, float ox, float oy, float w, float h, float px, float py, int poses = 1,
                      int defPose = 1);

}  // namespace dialogtest
