#include "TableSource.h"

#include "platform/Platform.h"

#include <OgreConfigFile.h>
#include <OgreException.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

TableSource::TableSource() : file_(std::make_unique<Ogre::ConfigFile>()) {}
TableSource::~TableSource() = default;

bool TableSource::open(const std::string& path)
{
    path_ = path;
    try {
        file_->load(path, "=", true);
    } catch (const Ogre::Exception& e) {
        error("cannot be read (" + e.getDescription() + ")");
        return false;
    }
    return true;
}

bool TableSource::hasSection(const std::string& section) const
{
    return file_->getSettingsBySection().count(section) != 0;
}

void TableSource::error(const std::string& what)
{
    ++errors_;
    (log_ ? *log_ : std::cerr) << path_ << ": " << what << "\n";
}

bool TableSource::lookup(const std::string& section, const std::string& key, std::string& value)
{
    const auto& sections = file_->getSettingsBySection();
    const auto s = sections.find(section);
    if (s != sections.end()) {
        const auto k = s->second.find(key);
        if (k != s->second.end()) {
            value = k->second;
            return true;
        }
    }
    error("[" + section + "] " + key + " is missing");
    return false;
}

std::string TableSource::text(const std::string& section, const std::string& key)
{
    std::string v;
    if (!lookup(section, key, v))
        return {};
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') {
        error("[" + section + "] " + key + " must be a text in double quotes");
        return {};
    }
    const std::string inner = v.substr(1, v.size() - 2);
    const std::string converted = platform::utf8ToCp1252(inner);
    // A '?' that was not in the source means a character the game's text cannot hold.
    if (std::count(converted.begin(), converted.end(), '?') != std::count(inner.begin(), inner.end(), '?')) {
        error("[" + section + "] " + key + " has characters outside Windows-1252");
        return {};
    }
    return converted;
}

uint32_t TableSource::whole(const std::string& section, const std::string& key)
{
    std::string v;
    if (!lookup(section, key, v))
        return 0;
    char* end = nullptr;
    errno = 0;
    const unsigned long long n = std::strtoull(v.c_str(), &end, 10);
    if (v.empty() || v.front() == '-' || *end != '\0' || errno != 0 || n > UINT32_MAX) {
        error("[" + section + "] " + key + " must be a whole number, not '" + v + "'");
        return 0;
    }
    return static_cast<uint32_t>(n);
}

float TableSource::real(const std::string& section, const std::string& key)
{
    std::string v;
    if (!lookup(section, key, v))
        return 0.0f;
    char* end = nullptr;
    errno = 0;
    const float f = std::strtof(v.c_str(), &end);
    if (v.empty() || *end != '\0' || errno != 0 || !std::isfinite(f)) {
        error("[" + section + "] " + key + " must be a number, not '" + v + "'");
        return 0.0f;
    }
    return f;
}

bool TableSource::flag(const std::string& section, const std::string& key)
{
    std::string v;
    if (!lookup(section, key, v))
        return false;
    if (v != "0" && v != "1") {
        error("[" + section + "] " + key + " must be 0 or 1, not '" + v + "'");
        return false;
    }
    return v == "1";
}
