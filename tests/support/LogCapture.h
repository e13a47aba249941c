#pragma once
// Collects what the game writes to the engine's log while it lives, to check the lines a
// failure leaves. Makes a quiet log manager of its own when the test has none.
#include <OgreLog.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre {
class LogManager;
}

namespace testsupport {

class LogCapture : public Ogre::LogListener {
public:
    LogCapture();
    ~LogCapture() override;
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    struct Line {
        std::string text;
        Ogre::LogMessageLevel level;
    };
    const std::vector<Line>& lines() const { return lines_; }
    // Lines that contain the text.
    size_t count(const std::string& text) const;
    void clear() { lines_.clear(); }

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool maskDebug,
                       const Ogre::String& logName, bool& skip) override;

private:
    std::unique_ptr<Ogre::LogManager> ownManager_;
    Ogre::Log* log_ = nullptr;
    std::vector<Line> lines_;
};

}  // namespace testsupport
