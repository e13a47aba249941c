#include "support/LogCapture.h"

#include <OgreLogManager.h>

namespace testsupport {

LogCapture::LogCapture()
{
    if (!Ogre::LogManager::getSingletonPtr()) {
        ownManager_ = std::make_unique<Ogre::LogManager>();
        ownManager_->createLog("capture.log", true, false, true);
    }
    log_ = Ogre::LogManager::getSingleton().getDefaultLog();
    log_->addListener(this);
}

LogCapture::~LogCapture()
{
    log_->removeListener(this);
}

size_t LogCapture::count(const std::string& text) const
{
    size_t n = 0;
    for (const Line& line : lines_)
        n += line.text.find(text) != std::string::npos ? 1 : 0;
    return n;
}

void LogCapture::messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool,
                               const Ogre::String&, bool&)
{
    lines_.push_back({message, level});
}

}  // namespace testsupport
