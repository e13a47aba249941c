#pragma once
// A cutscene sequence: the ordered entries a cutscene state plays, authored as
// "../../Data/Cutscene/<name>.ini" and stored for the game as "../../Data/System/<name>.ZVN".
// Every entry carries a dialog scene definition, whatever its type.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cutscenes/CutSceneParams.h"

class BinaryReader;
class BinaryWriter;
namespace audio {
class SoundManager;
}

// The kind of an entry; any value other than these plays with the basic player.
using CutsceneType = uint32_t;
namespace cutscene_types {
constexpr CutsceneType Video = 1;
constexpr CutsceneType Novel = 2;
constexpr CutsceneType Dialog = 3;
}  // namespace cutscene_types

struct CutsceneSequenceEntry {
    std::unique_ptr<CutSceneParams> params;  // always a DialogCutSceneParams
    CutsceneType type = 0;

    DialogCutSceneParams* dialog() const { return static_cast<DialogCutSceneParams*>(params.get()); }
};

class CutsceneSequence {
public:
    static constexpr uint32_t kMagic = 0x513C7B;
    static constexpr uint32_t kVersion = 1;
    static constexpr uint32_t kTypeCode = 0;
    static constexpr uint32_t kMaxEntries = 64;
    // A cache holds no language count: it reads back only with the count it was written with,
    // which is at most the profile's number of languages.
    static constexpr uint32_t kMaxLanguages = 32;

    static std::string iniPath(const std::string& name) { return cutsceneIniPath(name); }
    static std::string cachePath(const std::string& name) { return "../../Data/System/" + name + ".ZVN"; }

    // Reads the sequence .ini. A missing or unreadable file raises the engine's file-not-found
    // exception. A count over its cap (or a language count over kMaxLanguages) refuses the whole
    // file: false, the sequence empty, the reason in `problem` and the log.
    bool loadSequenceIni(const std::string& name, uint32_t languageCount, audio::SoundManager* soundManager,
                         std::string* problem = nullptr);
    // Reads the cache. A missing, short, damaged or over-cap cache leaves the sequence empty
    // (false). The header and the stored name are not checked: the file name decides.
    bool readSequenceCache(const std::string& name, uint32_t languageCount, audio::SoundManager* soundManager);
    bool readSequenceCache(BinaryReader& in, const std::string& name, uint32_t languageCount,
                           audio::SoundManager* soundManager);
    // Writes the cache through a temporary file. Refused (false, nothing written) when the
    // sequence would not read back whole: a list over its cap, an over-long text, scenes with
    // differing language counts.
    bool writeSequenceCache(const std::string& name) const;
    bool writeSequenceCache(BinaryWriter& out, const std::string& name) const;

    void clear();

    uint32_t entryCount = 0;
    std::vector<CutsceneSequenceEntry> entries;
};
