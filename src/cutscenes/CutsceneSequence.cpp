#include "cutscenes/CutsceneSequence.h"

#include "core/BinaryIO.h"
#include "definitions/DefinitionCache.h"

void CutsceneSequence::clear()
{
    entries.clear();
    entryCount = 0;
}

bool CutsceneSequence::loadSequenceIni(const std::string& name, uint32_t languageCount,
                                       audio::SoundManager* soundManager, std::string* problem)
{
    clear();
    const auto refuse = [&](const std::string& why) {
        clear();
        if (problem)
            *problem = why;
        return false;
    };
    if (languageCount > kMaxLanguages) {
        const std::string why = "language count " + std::to_string(languageCount) + " is more than " +
                                std::to_string(kMaxLanguages);
        logDefinitionProblem(iniPath(name) + ": " + why);
        return refuse(why);
    }
    IniSource ini;
    ini.loadOrThrow(iniPath(name));
    const uint32_t count = ini.uint("Sequence", "num_Cutscenes");
    if (count > kMaxEntries) {
        const std::string why = iniPath(name) + ": [Sequence] num_Cutscenes is " + std::to_string(count) +
                                ", more than " + std::to_string(kMaxEntries);
        logDefinitionProblem(why);
        return refuse(why);
    }
    std::vector<CutsceneSequenceEntry> read(count);
    for (uint32_t i = 0; i < count; ++i) {
        read[i].type = ini.uint(cutsceneSection(i), "CutScene_Type");
        auto params = std::make_unique<DialogCutSceneParams>(soundManager, name, i, languageCount);
        if (!params->load(ini))
            return refuse(params->problem());
        read[i].params = std::move(params);
    }
    entries = std::move(read);
    entryCount = count;
    if (problem)
        problem->clear();
    return true;
}

bool CutsceneSequence::readSequenceCache(const std::string& name, uint32_t languageCount,
                                         audio::SoundManager* soundManager)
{
    clear();
    BinaryReader in;
    if (!in.open(cachePath(name)))
        return false;
    if (!readSequenceCache(in, name, languageCount, soundManager)) {
        logDefinitionProblem("Cutscene cache '" + cachePath(name) + "' is damaged; the sequence stays empty");
        return false;
    }
    return true;
}

bool CutsceneSequence::readSequenceCache(BinaryReader& in, const std::string& name, uint32_t languageCount,
                                         audio::SoundManager* soundManager)
{
    clear();
    if (languageCount > kMaxLanguages)
        return false;
    uint32_t magic = 0, version = 0, typeCode = 0, count = 0;
    in.readU32(magic);
    in.readU32(version);
    in.readU32(typeCode);
    readBinString(in);  // the stored name: the file's own name decides
    if (!in.readCount(count, kMaxEntries))
        return false;
    std::vector<CutsceneSequenceEntry> read(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.readU32(read[i].type))
            return false;
        auto params = std::make_unique<DialogCutSceneParams>(soundManager, name, i, languageCount);
        if (!params->readCache(in))
            return false;
        read[i].params = std::move(params);
    }
    entries = std::move(read);
    entryCount = count;
    return true;
}

bool CutsceneSequence::writeSequenceCache(BinaryWriter& out, const std::string& name) const
{
    out.writeU32(kMagic);
    out.writeU32(kVersion);
    out.writeU32(kTypeCode);
    writeBinString(out, name);
    out.writeU32(static_cast<uint32_t>(entries.size()));
    bool sameLanguages = true;
    uint32_t languages = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        out.writeU32(entries[i].type);
        const auto* dialog = dynamic_cast<const DialogCutSceneParams*>(entries[i].params.get());
        if (dialog) {
            dialog->writeCache(out);
            if (i > 0 && dialog->languageCount != languages)
                sameLanguages = false;
            languages = dialog->languageCount;
        } else {
            // Every entry carries a dialog record; one without a definition gets an empty one.
            DialogCutSceneParams(nullptr, name, static_cast<uint32_t>(i), languages).writeCache(out);
        }
    }
    if (!sameLanguages)
        return false;
    // What the game could not read back must not replace a good cache.
    BinaryReader check(out.bytes());
    CutsceneSequence readBack;
    return readBack.readSequenceCache(check, name, languages, nullptr) && check.atEnd();
}

bool CutsceneSequence::writeSequenceCache(const std::string& name) const
{
    BinaryWriter out;
    if (!writeSequenceCache(out, name)) {
        logDefinitionProblem("Cutscene sequence '" + name + "' does not fit its cache; nothing written");
        return false;
    }
    return out.commit(cachePath(name));
}
