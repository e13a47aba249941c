// Writes Data/System/<name>.ZVN for every sequence source Data/Cutscene/<name>.ini of the game
// tree, with the language count of the game-mode table: the count every profile reads, and the
// only one a cache can be read back with. A source that cannot be read, has a count over its
// cap, or names an image, music or sound file that is nowhere to be found gets no cache and
// fails the step.
#include "BuildStep.h"

#include "core/PlayerProfile.h"
#include "cutscenes/CutsceneSequence.h"
#include "definitions/DefinitionCache.h"

#include <OgreException.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kSourceDir = "../../Data/Cutscene";
const char* const kGameDataDir = "../../Data";

// The files a sequence names: images (poses, expressions, free images, backgrounds, portraits),
// music and sounds.
std::set<std::string> namedFiles(const CutsceneSequence& seq)
{
    std::set<std::string> files;
    for (const CutsceneSequenceEntry& entry : seq.entries) {
        const DialogCutSceneParams* scene = entry.dialog();
        if (!scene)
            continue;
        for (const DialogCharacter& ch : scene->characters)
            for (const CharacterPose& pose : ch.poses) {
                files.insert(pose.Img);
                for (const PoseExpression& exp : pose.expressions)
                    files.insert(exp.Img);
            }
        for (const DialogImage& img : scene->images)
            files.insert(img.ImgFile);
        files.insert(scene->BackGroundImg);
        files.insert(scene->CutMusic);
        for (const auto& action : scene->actions) {
            if (auto* phrase = dynamic_cast<const DialogAction_PhraseParam*>(action.get()))
                files.insert(phrase->PhrasePortrait);
            else if (auto* music = dynamic_cast<const DialogAction_SwapMusicParam*>(action.get()))
                files.insert(music->SMmusicName);
            else if (auto* sound = dynamic_cast<const DialogAction_PlaySoundParam*>(action.get()))
                files.insert(sound->PSsoundName);
        }
    }
    for (auto it = files.begin(); it != files.end();)
        it = isAbsentName(*it) ? files.erase(it) : std::next(it);
    return files;
}

// Folders whose files the game can load by name: each resource archive's source folder and each
// folder of the game tree's Data.
std::vector<fs::path> lookupFolders(const BuildContext& ctx)
{
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const fs::path& root : {fs::path(ctx.dataDir) / "paks", fs::path(kGameDataDir)}) {
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec))
                folders.push_back(it->path());
    }
    return folders;
}

bool found(const std::vector<fs::path>& folders, const std::string& file)
{
    std::error_code ec;
    return std::any_of(folders.begin(), folders.end(),
                       [&](const fs::path& folder) { return fs::is_regular_file(folder / file, ec); });
}

bool buildCutsceneCaches(BuildContext& ctx)
{
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(kSourceDir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".ini" && !it->is_directory(ec))
            names.push_back(it->path().stem().string());
    std::sort(names.begin(), names.end());
    if (names.empty())
        return true;

    uint32_t languages = 0;
    {
        PlayerProfile profile("", nullptr);  // no name: reads the tables, touches no profile file
        if (!profile.tablesLoaded()) {
            ctx.log << "cutscenes: cannot read " << PlayerProfile::modeTablePath() << " for the language count\n";
            return false;
        }
        languages = profile.getLanguageCount();
    }

    const std::vector<fs::path> folders = lookupFolders(ctx);
    bool ok = true;
    size_t written = 0;
    for (const std::string& name : names) {
        const std::string source = CutsceneSequence::iniPath(name);
        CutsceneSequence seq;
        std::string problem;
        bool loaded = false;
        try {
            loaded = seq.loadSequenceIni(name, languages, nullptr, &problem);
        } catch (const Ogre::Exception&) {
            problem = source + ": cannot be read";
        }
        if (!loaded) {
            ctx.log << "cutscenes: " << name << " refused: " << problem << "\n";
            ok = false;
            continue;
        }
        bool complete = true;
        for (const std::string& file : namedFiles(seq)) {
            if (!found(folders, file)) {
                ctx.log << "cutscenes: " << name << " names '" << file
                        << "', which neither the resource archives nor the game tree hold\n";
                complete = false;
            }
        }
        if (!complete) {
            ok = false;
            continue;
        }
        if (!seq.writeSequenceCache(name)) {
            ctx.log << "cutscenes: cannot write " << CutsceneSequence::cachePath(name) << "\n";
            ok = false;
            continue;
        }
        ++written;
    }
    ctx.log << "cutscenes: " << written << " of " << names.size() << " sequence caches written, " << languages
            << " languages\n";
    return ok;
}

}  // namespace

DATABUILDER_STEP("cutscene sequences", 45, buildCutsceneCaches);
