#pragma once
#include "cutscenes/BasicCutScene.h"

#include <MyGUI_Align.h>
#include <OgreColourValue.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace MyGUI {
class Widget;
class ImageBox;
class TextBox;
}

// A place on a telephone keypad (1 top left .. 9 bottom right) as a GUI alignment; any other
// value gives `otherwise`.
MyGUI::Align KeypadAlign(uint32_t value, MyGUI::Align otherwise);

struct NovelParagraph {
    Ogre::Vector2 offset = Ogre::Vector2::ZERO;
    std::string text;
    float alpha = 1.0f;
    std::string font;
    uint32_t align = 0;
    Ogre::ColourValue colour = Ogre::ColourValue::Black;
};

struct NovelPage {
    float timer = 0.0f;
    std::string backgroundFile;
    bool needPress = false;
    uint32_t paragraphCount = 0;
    std::vector<NovelParagraph> paragraphs;
    uint32_t showCount = 0;
    std::vector<uint32_t> showImages;  // 1-based image numbers
    uint32_t hideCount = 0;
    std::vector<uint32_t> hideImages;
};

template <class T>
struct NovelKeyFrame {
    T value;
    float time = 0.0f;
};

struct NovelImage {
    float timer = 0.0f;  // seconds shown
    MyGUI::ImageBox* widget = nullptr;
    uint32_t align = 0;
    Ogre::Vector2 anchor = Ogre::Vector2::ZERO;
    bool relativeSize = false;
    bool relativePos = false;
    Ogre::ColourValue colour = Ogre::ColourValue::Black;
    // The offset from set-up; a size track moves the anchor, and the picture keeps this offset from it.
    Ogre::Vector2 offset = Ogre::Vector2::ZERO;
    std::vector<NovelKeyFrame<Ogre::Vector2>> sizeTrack;
    std::vector<NovelKeyFrame<Ogre::Vector2>> offsetTrack;
    std::vector<NovelKeyFrame<float>> alphaTrack;
    std::vector<NovelKeyFrame<Ogre::ColourValue>> colourTrack;
};

// Pages of text over a background picture, with pictures that pages show and hide and an
// optional page counter. A page turns when its timer runs out, or on a confirm press when it has
// no timer or needs a press; the player finishes after the last page.
class NovelCutScene : public BasicCutScene {
public:
    // Counts beyond these refuse the configuration.
    static constexpr uint32_t kMaxPages = 256;
    static constexpr uint32_t kMaxParagraphs = 64;
    static constexpr uint32_t kMaxImages = 64;
    static constexpr uint32_t kMaxKeyFrames = 256;

    NovelCutScene(Ogre::RenderWindow* renderWindow, Ogre::SceneManager* sceneManager, audio::SoundManager* soundManager,
                  MyGUI::Gui* gui, FadeOverlay* fader, std::string file, bool flag, uint32_t index,
                  GameSession* gameSession);
    ~NovelCutScene() override;

    void setup(Ogre::ConfigFile& config) override;
    void play() override;
    void restart() override;
    void stop() override;
    void update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse) override;

    void showPage();
    // Image i (0-based): its anchor from its alignment and its widget's current size.
    void computeAnchor(uint32_t i);

    MyGUI::Widget* background = nullptr;
    MyGUI::ImageBox* backgroundImage = nullptr;
    MyGUI::Widget* textHolder = nullptr;
    MyGUI::TextBox* pageCounter = nullptr;
    bool canControlPages = false;
    bool showPageCount = false;
    std::string pageCountPrefix;
    uint32_t pageCount = 0;
    std::vector<NovelPage> pages;
    uint32_t currentPage = 0;
    float pageTimer = 0.0f;
    uint32_t imageCount = 0;
    std::vector<NovelImage> images;

private:
    bool readPages(Ogre::ConfigFile& config);
    bool readImages(Ogre::ConfigFile& config);
    void createTextHolder();
    // The settings' language, which picks the texts a player reads.
    uint32_t language() const;
    void animateImage(NovelImage& image);
    void placeImage(NovelImage& image, const Ogre::Vector2& offset);
};
