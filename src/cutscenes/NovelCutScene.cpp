#include "cutscenes/NovelCutScene.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/Utilities.h"
#include "platform/TextConversion.h"

#include <MyGUI.h>
#include <OgreConfigFile.h>
#include <OgreStringConverter.h>

#include <cmath>

namespace {
int truncated(float value)
{
    if (!(std::fabs(value) < 1.0e6f))
        return 0;
    return static_cast<int>(value);
}

MyGUI::Colour opaque(const Ogre::ColourValue& c)
{
    return MyGUI::Colour(c.r, c.g, c.b, 1.0f);
}

float lerp(float a, float b, float f) { return a + (b - a) * f; }
Ogre::Vector2 lerp(const Ogre::Vector2& a, const Ogre::Vector2& b, float f) { return a + (b - a) * f; }
Ogre::ColourValue lerp(const Ogre::ColourValue& a, const Ogre::ColourValue& b, float f) { return a + (b - a) * f; }

// The track's value at time t: held before the first and after the last key frame.
template <class T>
T sampleTrack(const std::vector<NovelKeyFrame<T>>& track, float t)
{
    if (t <= track.front().time)
        return track.front().value;
    for (size_t i = 0; i + 1 < track.size(); ++i) {
        const NovelKeyFrame<T>& a = track[i];
        const NovelKeyFrame<T>& b = track[i + 1];
        if (t < b.time) {
            const float span = b.time - a.time;
            return span > 0.0f ? lerp(a.value, b.value, (t - a.time) / span) : b.value;
        }
    }
    return track.back().value;
}

// Reads the values of one section, each without its double quotes.
class SectionReader {
public:
    SectionReader(Ogre::ConfigFile& config, std::string section) : config_(config), section_(std::move(section)) {}
    std::string text(const std::string& key) const { return stripQuotes(config_.getSetting(key, section_, "")); }
    // A text the player reads: "<key>_<n>" holds it for language n - 1 of the text tables; a
    // language without its own line shows the plain key's.
    std::string languageText(const std::string& key, uint32_t language) const
    {
        std::string own = text(key + "_" + std::to_string(language + 1));
        return own.empty() ? text(key) : own;
    }
    uint32_t count(const std::string& key) const { return Ogre::StringConverter::parseUnsignedInt(text(key)); }
    float real(const std::string& key) const { return Ogre::StringConverter::parseReal(text(key)); }
    bool flag(const std::string& key) const { return Ogre::StringConverter::parseBool(text(key)); }
    Ogre::Vector2 pair(const std::string& key) const { return Ogre::StringConverter::parseVector2(text(key)); }
    Ogre::ColourValue colour(const std::string& key) const
    {
        return Ogre::StringConverter::parseColourValue(text(key), Ogre::ColourValue::Black);
    }

private:
    Ogre::ConfigFile& config_;
    std::string section_;
};
}  // namespace

MyGUI::Align KeypadAlign(uint32_t value, MyGUI::Align otherwise)
{
    switch (value) {
    case 1: return MyGUI::Align::Left | MyGUI::Align::Top;
    case 2: return MyGUI::Align::Top;
    case 3: return MyGUI::Align::Right | MyGUI::Align::Top;
    case 4: return MyGUI::Align::Left;
    case 5: return MyGUI::Align::Center;
    case 6: return MyGUI::Align::Right;
    case 7: return MyGUI::Align::Left | MyGUI::Align::Bottom;
    case 8: return MyGUI::Align::Bottom;
    case 9: return MyGUI::Align::Right | MyGUI::Align::Bottom;
    default: return otherwise;
    }
}

NovelCutScene::NovelCutScene(Ogre::RenderWindow* renderWindow_, Ogre::SceneManager* sceneManager_,
                             audio::SoundManager* soundManager_, MyGUI::Gui* gui_, FadeOverlay* fader_, std::string file_,
                             bool flag_, uint32_t index_, GameSession* gameSession_)
    : BasicCutScene(renderWindow_, sceneManager_, soundManager_, gui_, fader_, std::move(file_), flag_, index_,
                    gameSession_)
{
    kind = 2;
}

NovelCutScene::~NovelCutScene()
{
    if (!loaded)
        return;
    for (NovelImage& image : images)
        if (image.widget)
            gui->destroyWidget(image.widget);
    images.clear();
    pages.clear();
    for (MyGUI::Widget* widget : {background, static_cast<MyGUI::Widget*>(backgroundImage),
                                  static_cast<MyGUI::Widget*>(pageCounter), textHolder})
        if (widget)
            gui->destroyWidget(widget);
}

void NovelCutScene::createTextHolder()
{
    const MyGUI::IntSize view = viewSize();
    textHolder = gui->createWidget<MyGUI::Widget>("Widget", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                                  "Main", "NovelCUTS_BG_txtHold");
}

uint32_t NovelCutScene::language() const
{
    return gameSession && gameSession->settings ? gameSession->settings->Language : 0;
}

void NovelCutScene::setup(Ogre::ConfigFile& config)
{
    if (loaded)
        return;
    firstFrame = true;
    loaded = true;

    const MyGUI::IntSize view = viewSize();
    background = gui->createWidget<MyGUI::Widget>("FaderSkin", 0, 0, view.width, view.height, MyGUI::Align::Default,
                                                  "Back", "NovelCUTS_BG");
    background->setAlpha(0.0f);
    background->setColour(MyGUI::Colour::Black);
    backgroundImage = gui->createWidget<MyGUI::ImageBox>("ImageBox", 0, 0, view.width, view.height,
                                                         MyGUI::Align::Default, "Middle", "NovelCUTS_BG_img");
    backgroundImage->setAlpha(0.0f);
    createTextHolder();
    pageCounter = gui->createWidget<MyGUI::TextBox>("TextBox", 20, 15, view.width - 40, view.height - 30,
                                                    MyGUI::Align::Default, "Info", "NovelCUTS_pLister");
    pageCounter->setCaption("Page: 1/2");
    pageCounter->setVisible(false);

    const SectionReader in(config, sectionName());
    canControlPages = in.flag("CanControlPages");
    showPageCount = canControlPages && in.flag("ShowPageCout");
    if (showPageCount) {
        pageCounter->setVisible(true);
        pageCountPrefix = in.languageText("ShowPageCout_Prefix", language());
        pageCounter->setTextColour(opaque(in.colour("ShowPageCout_TColour")));
        pageCounter->setAlpha(in.real("ShowPageCout_TAlpha"));
        pageCounter->setFontName(in.text("ShowPageCout_TFont"));
        const Ogre::Vector2 offset = in.pair("ShowPageCout_Offset");
        pageCounter->setPosition(truncated(offset.x + 30), truncated(offset.y + 20));
        pageCounter->setTextAlign(KeypadAlign(in.count("ShowPageCout_TAlign"), MyGUI::Align::Right | MyGUI::Align::Top));
    }

    if (!readPages(config) || !readImages(config)) {
        pages.clear();
        pageCount = 0;
    }
}

bool NovelCutScene::readPages(Ogre::ConfigFile& config)
{
    const SectionReader in(config, sectionName());
    pageCount = in.count("num_Pages");
    if (pageCount > kMaxPages) {
        fail("num_Pages " + std::to_string(pageCount) + " is over " + std::to_string(kMaxPages));
        return false;
    }
    pages.resize(pageCount);
    for (uint32_t p = 0; p < pageCount; ++p) {
        NovelPage& page = pages[p];
        const std::string key = "Page_" + std::to_string(p + 1);
        page.timer = in.real(key + "_Timer");
        page.backgroundFile = in.text(key + "_BGimg");
        page.needPress = in.flag(key + "_NeedPress");
        page.paragraphCount = in.count(key + "_NumParagafs");
        if (page.paragraphCount > kMaxParagraphs) {
            fail(key + "_NumParagafs " + std::to_string(page.paragraphCount) + " is over " +
                 std::to_string(kMaxParagraphs));
            return false;
        }
        page.paragraphs.resize(page.paragraphCount);
        for (uint32_t k = 0; k < page.paragraphCount; ++k) {
            NovelParagraph& paragraph = page.paragraphs[k];
            const std::string pk = key + "_Paragaf_" + std::to_string(k + 1);
            paragraph.text = in.languageText(pk + "_text", language());
            paragraph.offset = in.pair(pk + "_Offset");
            paragraph.font = in.text(pk + "_TFont");
            paragraph.colour = in.colour(pk + "_TColour");
            paragraph.align = in.count(pk + "_TAlign");
            paragraph.alpha = in.real(pk + "_TAlpha");
            if (paragraph.alpha == 0.0f)
                paragraph.alpha = 1.0f;
        }
        for (const char* list : {"Show", "Hide"}) {
            const bool show = list[0] == 'S';
            uint32_t& count = show ? page.showCount : page.hideCount;
            std::vector<uint32_t>& numbers = show ? page.showImages : page.hideImages;
            count = in.count(key + "_Num" + list + "Img");
            if (count > kMaxImages) {
                fail(key + "_Num" + list + "Img " + std::to_string(count) + " is over " + std::to_string(kMaxImages));
                return false;
            }
            numbers.resize(count);
            for (uint32_t j = 0; j < count; ++j)
                numbers[j] = in.count(key + "_" + list + "Img_" + std::to_string(j + 1));
        }
    }
    return true;
}

bool NovelCutScene::readImages(Ogre::ConfigFile& config)
{
    const SectionReader in(config, sectionName());
    const uint32_t count = in.count("Num_Images");
    if (count > kMaxImages) {
        fail("Num_Images " + std::to_string(count) + " is over " + std::to_string(kMaxImages));
        return false;
    }
    const MyGUI::IntSize view = viewSize();
    images.reserve(count);
    for (uint32_t n = 0; n < count; ++n) {
        const std::string key = "Image_" + std::to_string(n + 1);
        images.emplace_back();
        imageCount = static_cast<uint32_t>(images.size());
        NovelImage& image = images.back();
        image.timer = 0.0f;
        image.widget = gui->createWidget<MyGUI::ImageBox>("ImageBox", 10, 10, view.width - 10, view.height - 10,
                                                          MyGUI::Align::Default, "Modal");
        image.widget->setImageTexture(in.text(key + "_File"));
        image.relativeSize = in.flag(key + "_RelativeSize");
        image.relativePos = in.flag(key + "_RelativePos");
        const Ogre::Vector2 size = in.pair(key + "_Size");
        if (image.relativeSize)
            image.widget->setSize(truncated(view.width * size.x), truncated(view.height * size.y));
        else
            image.widget->setSize(truncated(size.x), truncated(size.y));
        image.widget->setAlpha(in.real(key + "_TAlpha"));
        image.anchor = Ogre::Vector2::ZERO;
        image.align = in.count(key + "_TAlign");
        computeAnchor(n);
        image.offset = in.pair(key + "_Offset");
        placeImage(image, image.offset);
        image.colour = in.colour(key + "_Colour");
        image.widget->setColour(opaque(image.colour));
        image.widget->setVisible(in.flag(key + "_Show"));

        // Key-frame tracks: alpha, colour, size, offset.
        auto trackLength = [&](const std::string& track, uint32_t& length) {
            length = in.count(key + track + "_NumKeyFs");
            if (length <= kMaxKeyFrames)
                return true;
            fail(key + track + "_NumKeyFs " + std::to_string(length) + " is over " + std::to_string(kMaxKeyFrames));
            return false;
        };
        auto frameKey = [&](const std::string& track, uint32_t k, const char* part) {
            return key + track + "_KeyF_" + std::to_string(k + 1) + part;
        };
        uint32_t length = 0;
        if (!trackLength("_TAlpha", length))
            return false;
        for (uint32_t k = 0; k < length; ++k)
            image.alphaTrack.push_back({in.real(frameKey("_TAlpha", k, "_V")), in.real(frameKey("_TAlpha", k, "_T"))});
        if (!trackLength("_Colour", length))
            return false;
        for (uint32_t k = 0; k < length; ++k)
            image.colourTrack.push_back(
                {in.colour(frameKey("_Colour", k, "_V")), in.real(frameKey("_Colour", k, "_T"))});
        if (!trackLength("_Size", length))
            return false;
        for (uint32_t k = 0; k < length; ++k)
            image.sizeTrack.push_back({in.pair(frameKey("_Size", k, "_V")), in.real(frameKey("_Size", k, "_T"))});
        if (!trackLength("_Offset", length))
            return false;
        for (uint32_t k = 0; k < length; ++k)
            image.offsetTrack.push_back(
                {in.pair(frameKey("_Offset", k, "_V")), in.real(frameKey("_Offset", k, "_T"))});
    }
    return true;
}

void NovelCutScene::computeAnchor(uint32_t i)
{
    NovelImage& image = images[i];
    const MyGUI::IntSize view = viewSize();
    const MyGUI::IntSize size = image.widget->getSize();
    const int midX = (view.width - size.width) / 2, farX = view.width - size.width;
    const int midY = (view.height - size.height) / 2, farY = view.height - size.height;
    int x = 0, y = 0;
    switch (image.align) {
    case 2: x = midX; break;
    case 3: x = farX; break;
    case 4: y = midY; break;
    case 5: x = midX; y = midY; break;
    case 6: x = farX; y = midY; break;
    case 7: y = farY; break;
    case 8: x = midX; y = farY; break;
    case 9: x = farX; y = farY; break;
    default: break;
    }
    image.anchor = Ogre::Vector2(static_cast<float>(x), static_cast<float>(y));
}

void NovelCutScene::placeImage(NovelImage& image, const Ogre::Vector2& offset)
{
    const MyGUI::IntSize view = viewSize();
    if (image.relativePos)
        image.widget->setPosition(truncated(image.anchor.x + view.width * offset.x),
                                  truncated(image.anchor.y + view.height * offset.y));
    else
        image.widget->setPosition(truncated(image.anchor.x + offset.x), truncated(image.anchor.y + offset.y));
}

void NovelCutScene::showPage()
{
    if (currentPage >= pages.size())
        return;
    const NovelPage& page = pages[currentPage];
    const MyGUI::IntSize view = viewSize();
    if (textHolder) {
        gui->destroyWidget(textHolder);
        textHolder = nullptr;
    }
    if (showPageCount)
        pageCounter->setCaption(toUTFString(pageCountPrefix + " " + std::to_string(currentPage + 1) + "/" +
                                            std::to_string(pageCount)));
    backgroundImage->setAlpha(1.0f);
    createTextHolder();
    textHolder->setInheritsAlpha(false);
    backgroundImage->setImageTexture(page.backgroundFile);

    for (uint32_t k = 0; k < page.paragraphCount; ++k) {
        const NovelParagraph& paragraph = page.paragraphs[k];
        auto* edit = textHolder->createWidget<MyGUI::EditBox>(
            "WordWrapEmpty", truncated(paragraph.offset.x + 30), truncated(paragraph.offset.y + 30), view.width - 60,
            view.height - 60, MyGUI::Align::Default,
            "NovelCUTS_p" + std::to_string(currentPage) + "p" + std::to_string(k));
        edit->setFontName(paragraph.font);
        edit->setTextColour(opaque(paragraph.colour));
        edit->setInheritsAlpha(false);
        edit->setAlpha(paragraph.alpha);
        edit->setCaption(toUTFString(paragraph.text));
        edit->setTextAlign(KeypadAlign(paragraph.align, MyGUI::Align::Left | MyGUI::Align::Top));
    }

    // Hiding first, so a page that hides and shows one picture leaves it shown.
    for (uint32_t number : page.hideImages) {
        if (number >= 1 && number <= imageCount) {
            images[number - 1].widget->setVisible(false);
            images[number - 1].timer = 0.0f;
        }
    }
    for (uint32_t number : page.showImages)
        if (number >= 1 && number <= imageCount)
            images[number - 1].widget->setVisible(true);
}

void NovelCutScene::play()
{
    if (state == CUTSCENE_CREATED) {
        restart();
        return;
    }
    state = CUTSCENE_PLAYING;
    if (loaded)
        showPage();
}

void NovelCutScene::restart()
{
    loadFile();
    pageTimer = 0.0f;
    currentPage = 0;
    if (loaded)
        showPage();
    state = CUTSCENE_PLAYING;
}

void NovelCutScene::stop()
{
    state = CUTSCENE_FINISHED;
}

void NovelCutScene::animateImage(NovelImage& image)
{
    if (!image.alphaTrack.empty())
        image.widget->setAlpha(sampleTrack(image.alphaTrack, image.timer));
    if (!image.colourTrack.empty()) {
        image.colour = sampleTrack(image.colourTrack, image.timer);
        image.widget->setColour(opaque(image.colour));
    }
    if (!image.sizeTrack.empty()) {
        const MyGUI::IntSize view = viewSize();
        const Ogre::Vector2 size = sampleTrack(image.sizeTrack, image.timer);
        if (image.relativeSize)
            image.widget->setSize(truncated(view.width * size.x), truncated(view.height * size.y));
        else
            image.widget->setSize(truncated(size.x), truncated(size.y));
        computeAnchor(static_cast<uint32_t>(&image - images.data()));
    }
    if (!image.offsetTrack.empty())
        placeImage(image, sampleTrack(image.offsetTrack, image.timer));
    else if (!image.sizeTrack.empty())
        placeImage(image, image.offset);
}

void NovelCutScene::update(float dt, OIS::Keyboard* keyboard, OIS::JoyStick* joystick, OIS::Mouse* mouse)
{
    if (failed) {
        firstFrame = false;
        state = CUTSCENE_FINISHED;
        return;
    }
    if (!loaded)
        return;
    firstFrame = false;
    const bool pressed = confirmPressed(keyboard, joystick, mouse, false);
    if (state != CUTSCENE_PLAYING)
        return;
    if (pages.empty()) {
        stop();
        return;
    }

    for (NovelImage& image : images) {
        if (!image.widget->getVisible())
            continue;
        image.timer += dt;
        animateImage(image);
    }

    pageTimer += dt;
    const NovelPage& page = pages[currentPage];
    const bool timed = page.timer > 0.0f && !page.needPress;
    if (timed ? pageTimer >= page.timer : pressed) {
        if (currentPage + 1 >= pageCount) {
            stop();
            return;
        }
        ++currentPage;
        pageTimer = 0.0f;
        showPage();
    }
}
