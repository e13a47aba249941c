#pragma once
// Reading the readable sources of the game tables (data/tables/*.ini).
//
// A source is an .ini file read with the engine's configuration-file reader, with "=" as the
// only separator. Lines starting with '#' are comments. Numbers are plain decimal; flags are
// 0 or 1. Texts are UTF-8 between double quotes, taken exactly as they stand between the first
// and the last quote (blanks and ':' included) and stored in the game's Windows-1252 text.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

namespace Ogre {
class ConfigFile;
}

class TableSource {
public:
    TableSource();
    ~TableSource();

    // False (with an error) when the file cannot be read.
    bool open(const std::string& path);
    bool hasSection(const std::string& section) const;

    // A missing or malformed value records an error and gives "", 0 or false.
    std::string text(const std::string& section, const std::string& key);
    uint32_t whole(const std::string& section, const std::string& key);
    float real(const std::string& section, const std::string& key);
    bool flag(const std::string& section, const std::string& key);

    bool ok() const { return errors_ == 0; }
    // Reports a fault of the source's content, as the readers above do.
    void error(const std::string& what);
    void setLog(std::ostream* log) { log_ = log; }

private:
    bool lookup(const std::string& section, const std::string& key, std::string& value);

    std::unique_ptr<Ogre::ConfigFile> file_;
    std::string path_;
    std::ostream* log_ = nullptr;
    int errors_ = 0;
};
