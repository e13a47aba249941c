#include "DialogTestRig.h"

#include "core/ControllerSmoothCaption.h"

#include <MyGUI.h>
#include <Ogre.h>

#include <gtest/gtest.h>

#include <sstream>

namespace dialogtest {

DialogRig::DialogRig()
{
    MyGUI::FactoryManager::getInstance().registerFactory<ControllerSmoothCaption>("Controller");
    settings.Language = 0;
    sceneManager = engine.window()->getViewport(0)->getCamera()->getSceneManager();
}

DialogRig::~DialogRig()
{
    MyGUI::FactoryManager::getInstance().unregisterFactory<ControllerSmoothCaption>("Controller");
}

std::unique_ptr<CutsceneSequence> DialogRig::loadSequence(const std::string& name, const std::string& ini,
                                                          uint32_t languages)
{
    engine.writeSequence(name, ini);
    auto sequence = std::make_unique<CutsceneSequence>();
    std::string problem;
    EXPECT_TRUE(sequence->loadSequenceIni(name, languages, &sounds, &problem)) << problem;
    return sequence;
}

void DialogRig::writeSequenceCache(const std::string& name, const std::string& ini)
{
    engine.writeSequence(name, ini);
    CutsceneSequence sequence;
    std::string problem;
    ASSERT_TRUE(sequence.loadSequenceIni(name, 0, nullptr, &problem)) << problem;
    ASSERT_TRUE(sequence.writeSequenceCache(name));
}

std::unique_ptr<DialogCutScene> DialogRig::makePlayer(const CutsceneSequence& sequence, uint32_t index)
{
    auto player = std::make_unique<DialogCutScene>(engine.window(), scene(), &sounds, engine.gui(), &fader, "",
                                                   false, index, &session, sequence.entries.at(index).dialog(),
                                                   nullptr, viewport(), 0);
    return player;
}

void DialogRig::frame(DialogCutScene& player, float dt)
{
    engine.capture();
    player.update(dt, &engine.keyboard, &engine.joystick, &engine.mouse);
    engine.render();
}

void DialogRig::tap(DialogCutScene& player, OIS::KeyCode key, float dt)
{
    engine.keyboard.press(key);
    frame(player, dt);
    engine.keyboard.release(key);
    frame(player, dt);
}

Ogre::Viewport* DialogRig::viewport() const
{
    return engine.window()->getViewport(0);
}

Ogre::SceneManager* DialogRig::scene() const
{
    return sceneManager;
}

std::string character(int c, int align, float ox, float oy, float w, float h, float px, float py, int poses,
                      int defPose)
{
    std::ostringstream s;
    const std::string p = "Char_" + std::to_string(c);
    s << p << "_CharName = \"Actor" << c << "\"\n"
      << p << "_StartInScene = true\n"
      << p << "_ImgOpacity = 1\n"
      << p << "_CharAlign = " << align << "\n"
      << p << "_CharOffset = " << ox << " " << oy << "\n"
      << p << "_DefPose = " << defPose << "\n"
      << p << "_NumPoses = " << poses << "\n";
    for (int m = 1; m <= poses; ++m) {
        const std::string q = p + "_Pose_" + std::to_string(m);
        s << q << "_Img = \"cs_pilot_" << (m == 1 ? "calm" : m == 2 ? "grin" : "hurt") << ".png\"\n"
          << q << "_ImgSize = " << w * m << " " << h << "\n"
          << q << "_ImgPivot = " << px << " " << py << "\n";
    }
    return s.str();
}

}  // namespace dialogtest
