#include "core/GameCore.h"

#include <MyGUI.h>

GameCore::GameCore(Ogre::RenderWindow*, Ogre::SceneManager*, audio::SoundManager*, SharedBlock*,
                   ConfigManager*, Ogre::Root*, GameSettings*, MyGUI::Gui* gui, Ogre::Viewport*)
    : gui_(gui)
{
    const MyGUI::IntSize view = MyGUI::RenderManager::getInstance().getViewSize();
    backdrop_ = gui_->createWidget<MyGUI::ImageBox>("MarkerWhite", 0, 0, view.width, view.height,
                                                    MyGUI::Align::Stretch, "Backgound");
    backdrop_->setColour(MyGUI::Colour(0.10f, 0.16f, 0.24f));
    title_ = gui_->createWidget<MyGUI::TextBox>("TextBox", 0, view.height / 3, view.width, 60,
                                                MyGUI::Align::HStretch | MyGUI::Align::Top, "Main");
    title_->setFontName("ArialBold.24");
    title_->setTextAlign(MyGUI::Align::Center);
    title_->setTextColour(MyGUI::Colour(1.0f, 0.8f, 0.2f));
    title_->setCaption("Vantorel");
}

GameCore::~GameCore()
{
    gui_->destroyWidget(title_);
    gui_->destroyWidget(backdrop_);
}

void GameCore::update(float, OIS::Keyboard*, OIS::JoyStick*, OIS::Mouse*) {}
