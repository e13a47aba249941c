#include "cutscenes/VideoCutScene.h"

#include "core/Utilities.h"
#include "platform/DirectShowMovieTexture.h"

#include <MyGUI.h>
#include <OgreConfigFile.h>
#include <OgreLogManager.h>
#include <OgreStringConverter.h>
#include <OgreTextureManager.h>

#include <cmath>

namespace {
// Truncates towards zero without overflowing an int on absurd values.
int truncated(float value)
{
    if (!(std::fabs(value) < 1.0e6f))
        return 0;
    return static_cast<int>(value);
}
}  // namespace

MyGUI::IntCoord VideoPlacement(const MyGUI::IntSize& view, float w, float h, bool forceFullScreen)
{
    const float viewW = static_cast<float>(view.width);
    const float viewH = static_cast<float>(view.height);
    const bool fullScreen = forceFullScreen || viewW < w || viewH < h;
    if (!fullScreen)
        return MyGUI::IntCoord(truncated((viewW - w) * 0.5f), truncated((viewH - h) * 0.5f), truncated(w),
                               truncated(h));
    if (!(w > 0.0f) || !(h > 0.0f))
        return MyGUI::IntCoord(0, 0, view.width, view.height);
    // Across the longer axis, keeping the video's aspect ratio.
    if (w >= h) {
        const int height = truncated(viewW * h / w);
        return MyGUI::IntCoord(0, (view.height - height) / 2, view.width, height);
    }
    const int width = truncated(viewH * w / h);
    return MyGUI::IntCoord((view.width - width) / 2, 0, width, view.height);
}

VideoCutScene::VideoCutScene(Ogre::RenderWindow* renderWindow_, Ogre::SceneManager* sceneManager_,
                             audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fader_, std::string file_,
                             bool flag_, uint32_t index_, GameSession* gameSession_)
    : BasicCutScene(renderWindow_, sceneManager_, soundManager_, gui_, fader_, std::move(file_), flag_, index_,
                    gameSession_)
{
    kind = 1;
}

VideoCutScene::~VideoCutScene()
{
    if (!loaded)
        return;
    if (movie) {
        const std::string name = movie->getMovieTexture()->getName();
        movie->getMovieTexture()->unload();
        movie->stopMovie();
        movie->unloadMovie();
        // The GUI's entry goes before the movie: on this engine it takes the texture out of the
        // texture manager itself, and a second removal there is an error.
        MyGUI::RenderManager& renderManager = MyGUI::RenderManager::getInstance();
        if (MyGUI::ITexture* guiTexture = renderManager.getTexture(name))
            renderManager.destroyTexture(guiTexture);
        delete movie;
        movie = nullptr;
        if (Ogre::TextureManager::getSingleton().resourceExists(name, Ogre::RGN_DEFAULT))
            Ogre::TextureManager::getSingleton().remove(name, Ogre::RGN_DEFAULT);
    }
    if (background)
        gui->destroyWidget(background);
    if (image)
        gui->destroyWidget(image);
}

void VideoCutScene::setup(Ogre::ConfigFile& config)
{
    if (loaded)
        return;
    firstFrame = true;
    loaded = true;

    const MyGUI::IntSize view = viewSize();
    background = gui->createWidget<MyGUI::Widget>("FaderSkin", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                                  "Back", "VideoCUTS_BG");
    background->setAlpha(0.0f);
    background->setColour(MyGUI::Colour::Black);
    image = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                               "Main", "geoCUTS_Video");

    const std::string section = sectionName();
    auto value = [&](const char* key) { return stripQuotes(config.getSetting(key, section, "")); };
    const Ogre::Vector2 size = Ogre::StringConverter::parseVector2(value("VideoFileSize"));
    const std::string videoFile = value("Video_File");

    try {
        movie = new OgreUtils::DirectShowMovieTexture(truncated(size.x), truncated(size.y));
        image->setImageTexture(movie->getMovieTexture()->getName());
        movie->loadMovie("../../Video/" + videoFile);
    } catch (const std::exception& e) {
        // The entry ends on its first update; the picture stays black.
        if (movie)
            movie->clearTexture();
        fail(e.what());
    }

    image->setCoord(VideoPlacement(view, size.x, size.y, Ogre::StringConverter::parseBool(value("ForceFullScreen"))));
    canSkip = Ogre::StringConverter::parseBool(value("Can_Skip"));
    canPause = Ogre::StringConverter::parseBool(value("Can_Pause"));
}

void VideoCutScene::play()
{
    if (state == CUTSCENE_CREATED) {
        restart();
        return;
    }
    state = CUTSCENE_PLAYING;
    if (movie)
        movie->playMovie();
}

void VideoCutScene::pause()
{
    if (movie)
        movie->pauseMovie();
    state = CUTSCENE_PAUSED;
}

void VideoCutScene::restart()
{
    loadFile();
    if (movie)
        movie->playMovie();
    state = CUTSCENE_PLAYING;
}

void VideoCutScene::stop()
{
    if (movie)
        movie->stopMovie();
    state = CUTSCENE_FINISHED;
}

void VideoCutScene::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (failed) {
        firstFrame = false;
        state = CUTSCENE_FINISHED;
        return;
    }
    if (!loaded)
        return;
    firstFrame = false;
    const bool skip = confirmPressed(keyboard, joystick, mouse, true) && canSkip;
    if (state != CUTSCENE_PLAYING)
        return;
    const bool ended = !movie || movie->advance(dt);
    if (ended || skip)
        stop();
}
