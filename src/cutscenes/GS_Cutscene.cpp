#include "cutscenes/GS_Cutscene.h"

#include "audio/Sound.h"
#include "core/FadeOverlay.h"
#include "core/GameSession.h"
#include "core/GlobalSounds.h"
#include "core/PlayerProfile.h"
#include "cutscenes/BasicCutScene.h"
#include "cutscenes/DialogCutScene.h"
#include "cutscenes/NovelCutScene.h"
#include "cutscenes/VideoCutScene.h"

#include <MyGUI_PointerManager.h>
#include <OgreException.h>
#include <OgreLogManager.h>

namespace {
void hidePointer()
{
    if (auto* pointers = MyGUI::PointerManager::getInstancePtr())
        pointers->setVisible(false);
}
}  // namespace

GS_Cutscene::GS_Cutscene(Ogre::RenderWindow* window_, Ogre::SceneManager* sceneManager_,
                         audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fadeOverlay_,
                         const std::string& /*unusedName*/, GameSession* session_, Ogre::Viewport* viewport_,
                         SceneCreator* sceneCreator_, GlobalSounds* globalSounds_)
{
    window = window_;
    sceneManager = sceneManager_;
    soundManager = soundManager_;
    sharedBlock = nullptr;
    gui = gui_;
    fadeOverlay = fadeOverlay_;
    session = session_;
    globalSounds = globalSounds_;
    viewport = viewport_;
    sceneCreator = sceneCreator_;
    mouseWasDown = 1;
    firstFrame = 1;
    step = 0;
    stateId = kStateId;
    nextStateId = 0;
    done = 0;
    quitRequested = 0;

    if (globalSounds && globalSounds->musicVoice())
        globalSounds->musicVoice()->stop();
    name = session ? session->getCutsceneName() : std::string();
    hidePointer();
    if (fadeOverlay)
        fadeOverlay->setAlpha(0.0f);
    readSequenceCache();
    if (fadeOverlay)
        fadeOverlay->setAlpha(1.0f);
}

GS_Cutscene::~GS_Cutscene()
{
    hidePointer();
    player.reset();
    sequence.clear();
}

uint32_t GS_Cutscene::languageCount() const
{
    return session && session->profile ? session->profile->getLanguageCount() : 0;
}

bool GS_Cutscene::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (firstFrame) {
        // A sequence without entries has no player to finish: leave as after a last entry.
        if (sequence.entryCount == 0) {
            leaveSequence();
            done = 1;
        } else {
            startupStep();
        }
    } else if (player) {
        player->update(dt, keyboard, joystick, mouse);
        if (player->state == CUTSCENE_FINISHED) {
            if (currentEntry + 1 < sequence.entryCount) {
                ++currentEntry;
                createPlayer(currentEntry);
                // A dialog scene fades itself out at its end: the next entry would play unseen.
                if (fadeOverlay && (fadeOverlay->getMode() == FadeOverlay::FadingOut ||
                                    (fadeOverlay->getMode() == FadeOverlay::Idle && fadeOverlay->getAlpha() >= 1.0)))
                    fadeOverlay->startFadeIn(kFadeInTime);
            } else {
                leaveSequence();
                done = 1;
            }
        }
    }
    if (done) {
        if (fadeOverlay)
            fadeOverlay->setAlpha(1.0f);
        return false;
    }
    return true;
}

void GS_Cutscene::startupStep()
{
    switch (step) {
    case 0: step = 1; break;
    case 1:
        createPlayer(currentEntry);
        step = 2;
        break;
    default:
        if (fadeOverlay)
            fadeOverlay->startFadeIn(kFadeInTime);
        ++step;
        firstFrame = 0;
        break;
    }
}

void GS_Cutscene::createPlayer(uint32_t i)
{
    player.reset();
    if (i >= sequence.entryCount)
        return;
    const CutsceneSequenceEntry& entry = sequence.entries[i];
    std::unique_ptr<BasicCutScene> made;
    switch (entry.type) {
    case cutscene_types::Video:
        made = std::make_unique<VideoCutScene>(window, sceneManager, soundManager, gui, fadeOverlay, "", false, i,
                                               session);
        break;
    case cutscene_types::Novel:
        made = std::make_unique<NovelCutScene>(window, sceneManager, soundManager, gui, fadeOverlay, "", false, i,
                                               session);
        break;
    case cutscene_types::Dialog:
        made = std::make_unique<DialogCutScene>(window, sceneManager, soundManager, gui, fadeOverlay, "", false, i,
                                                session, entry.dialog(), sceneCreator, viewport, languageCount());
        break;
    default:
        made = std::make_unique<BasicCutScene>(window, sceneManager, soundManager, gui, fadeOverlay, "", false, i,
                                               session);
        break;
    }
    // The core has cleared the session's cutscene name by now: the players read the .ini by ours.
    made->setSequenceName(name);
    player = std::move(made);
    player->loadFile();
    player->play();
}

void GS_Cutscene::leaveSequence()
{
    if (!session)
        return;
    const std::string next = session->getNextCutsceneName();
    if (!next.empty())
        session->setCutsceneRequest(true, next, "");
    else
        session->setCutsceneRequest(false, "", "");
    session->setNextCutsceneName("");
}

void GS_Cutscene::loadSequenceIni()
{
    // A missing source leaves the sequence empty rather than ending the program.
    try {
        sequence.loadSequenceIni(name, languageCount(), soundManager);
    } catch (const Ogre::Exception& e) {
        sequence.clear();
        Ogre::LogManager::getSingleton().logMessage("Cutscene '" + name + "': " + e.getDescription());
    }
}

void GS_Cutscene::readSequenceCache()
{
    sequence.readSequenceCache(name, languageCount(), soundManager);
}

void GS_Cutscene::writeSequenceCache()
{
    sequence.writeSequenceCache(name);
}
