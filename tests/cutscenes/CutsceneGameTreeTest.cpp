#include "CutsceneTestSupport.h"

#include "core/PlayerProfile.h"

#include <Ogre.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sys/wait.h>

using namespace cutscenetest;

namespace {

// The sequences the campaign names as intros and outros, in the order of its source.
std::vector<std::string> campaignSequences()
{
    const std::string text = testsupport::readTextFile(testsupport::repoDataDir() + "/tables/GCampA.ini");
    const std::regex key(R"((Intro|Outro)Cutscene\s*=\s*"([^"]+)\")");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), key); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[2]);
    return names;
}

// Every image, music and sound file a scene names.
void collectFiles(const DialogCutSceneParams& scene, std::set<std::string>& images, std::set<std::string>& sounds)
{
    for (const DialogCharacter& ch : scene.characters)
        for (const CharacterPose& pose : ch.poses) {
            images.insert(pose.Img);
            for (const PoseExpression& exp : pose.expressions)
                images.insert(exp.Img);
        }
    for (const DialogImage& img : scene.images)
        images.insert(img.ImgFile);
    images.insert(scene.BackGroundImg);
    sounds.insert(scene.CutMusic);
    for (const auto& action : scene.actions) {
        if (auto* music = dynamic_cast<const DialogAction_SwapMusicParam*>(action.get()))
            sounds.insert(music->SMmusicName);
        if (auto* sound = dynamic_cast<const DialogAction_PlaySoundParam*>(action.get()))
            sounds.insert(sound->PSsoundName);
    }
    images.erase("");
    sounds.erase("");
}

}  // namespace

TEST(CutsceneGameTree, CampaignSequencesHaveSourcesAndCachesThatReadBackExactly)
{
    const std::vector<std::string> names = campaignSequences();
    ASSERT_EQ(names, (std::vector<std::string>{"Cs_FirstContact_In", "Cs_HoldTheLine_Out", "Cs_Foundry_In",
                                                "Cs_Meltdown_Out", "Cs_Skyline_In", "Cs_LastLight_Out"}));
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    uint32_t languages = 0;
    {
        PlayerProfile profile("", nullptr);  // no name: reads the tables, touches no profile file
        ASSERT_TRUE(profile.tablesLoaded());
        languages = profile.getLanguageCount();
    }
    ASSERT_EQ(languages, 2u);

    std::set<uint32_t> actionTypes;
    bool townScene = false;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::filesystem::exists(CutsceneSequence::iniPath(name)));
        ASSERT_TRUE(std::filesystem::exists(CutsceneSequence::cachePath(name)));
        CutsceneSequence cache, source;
        ASSERT_TRUE(cache.readSequenceCache(name, languages, nullptr));
        ASSERT_TRUE(source.loadSequenceIni(name, languages, nullptr));
        expectSameSequence(source, cache);

        size_t dialogs = 0;
        for (const CutsceneSequenceEntry& entry : cache.entries) {
            const DialogCutSceneParams& scene = *entry.dialog();
            if (entry.type != cutscene_types::Dialog)
                continue;
            ++dialogs;
            townScene = townScene || (scene.getSceneMap() == "Town" && scene.CameraType == 1);
            for (const auto& action : scene.actions) {
                actionTypes.insert(action->type);
                if (auto* phrase = dynamic_cast<const DialogAction_PhraseParam*>(action.get())) {
                    ASSERT_EQ(phrase->texts.size(), languages);
                    for (const std::string& text : phrase->texts)
                        EXPECT_FALSE(text.empty()) << phrase->PhraseName;
                }
            }
        }
        EXPECT_GE(dialogs, 1u);
        EXPECT_EQ(cache.entries.back().dialog()->CreditsAfterEnd, name == "Cs_LastLight_Out");
    }
    EXPECT_EQ(actionTypes, (std::set<uint32_t>{1, 2, 3, 4, 5, 6, 7}));

    // Texts are stored in the game's 8-bit code page, as the dialog box shows them.
    CutsceneSequence first;
    ASSERT_TRUE(first.readSequenceCache("Cs_FirstContact_In", languages, nullptr));
    const auto dialog = std::find_if(first.entries.begin(), first.entries.end(),
                                     [](const CutsceneSequenceEntry& e) { return e.type == cutscene_types::Dialog; });
    ASSERT_NE(dialog, first.entries.end());
    ASSERT_GE(dialog->dialog()->actions.size(), 5u);
    const auto* phrase = dynamic_cast<const DialogAction_PhraseParam*>(dialog->dialog()->actions[4].get());
    ASSERT_NE(phrase, nullptr);
    EXPECT_EQ(phrase->getText(0), "Finally, something to shoot at!");
    EXPECT_EQ(phrase->getText(1), "\xA1Por fin, algo a lo que disparar!");
    EXPECT_TRUE(townScene);
}

TEST(CutsceneGameTree, EveryFileTheSequencesNameIsFoundWhereTheGameLooks)
{
    testsupport::ScopedWorkDir cwd(testsupport::gameTreeDir() + "/Bin/Game");
    testsupport::HeadlessOgre ogre;
    auto& groups = Ogre::ResourceGroupManager::getSingleton();
    // The archives and folders the game adds to its resource groups.
    for (const char* pak : {"StoryImgs", "Char", "Core"})
        groups.addResourceLocation(std::string("../../Data/System/") + pak + ".pak", "Zip", "Story");
    groups.addResourceLocation("../../Data/Sounds", "FileSystem", "Story");

    std::set<std::string> images, sounds;
    for (const std::string& name : campaignSequences()) {
        CutsceneSequence seq;
        ASSERT_TRUE(seq.readSequenceCache(name, 2, nullptr)) << name;
        for (const CutsceneSequenceEntry& entry : seq.entries)
            collectFiles(*entry.dialog(), images, sounds);
    }
    EXPECT_GE(images.size(), 10u);
    EXPECT_GE(sounds.size(), 3u);  // a story track and two sounds at least
    EXPECT_FALSE(groups.resourceExists("Story", "no_such_picture.png"));
    for (const std::string& file : images)
        EXPECT_TRUE(groups.resourceExists("Story", file)) << file;
    for (const std::string& file : sounds)
        EXPECT_TRUE(groups.resourceExists("Story", file)) << file;
}

TEST(CutsceneGameTree, BuilderCachesGoodSequencesAndReportsTheOthers)
{
    // Sounds copied, so the builder's sound steps find them made.
    testsupport::TempGameTree tree{"Bin/Game/plugins.cfg", "Data/Sounds"};
    const std::string cutscenes = tree.path("Data/Cutscene/");
    const std::string scene = "[Sequence]\nnum_Cutscenes=1\n[CutScene_1]\nCutScene_Type=3\nBackGroundImg=st_bg_dawn.png\n"
                              "Num_Action=1\nAction_1_Type=7\nAction_1_PSsoundName=vt_story_alarm.ogg\n";
    testsupport::writeTextFile(cutscenes + "Good.ini", scene);
    testsupport::writeTextFile(cutscenes + "Capped.ini", scene + "Num_Images=65\n");
    std::string lost = scene;
    lost.replace(lost.find("st_bg_dawn.png"), 14, "no_such_picture.png");
    testsupport::writeTextFile(cutscenes + "Lost.ini", lost);
    std::filesystem::create_symlink(cutscenes + "nowhere", cutscenes + "Broken.ini");

    const std::string log = tree.path("builder.txt");
    const std::string cmd = "cd '" + tree.workDir() + "' && '" + DATABUILDER_EXECUTABLE + "' '" + REPO_DATA_DIR +
                            "' > '" + log + "' 2>&1";
    const int status = std::system(cmd.c_str());
    const std::string output = testsupport::readTextFile(log);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << output;
    EXPECT_NE(output.find("step 'cutscene sequences' failed"), std::string::npos) << output;
    EXPECT_NE(output.find("Capped refused"), std::string::npos) << output;
    EXPECT_NE(output.find("Num_Images"), std::string::npos) << output;
    EXPECT_NE(output.find("Lost names 'no_such_picture.png'"), std::string::npos) << output;
    EXPECT_NE(output.find("Broken refused"), std::string::npos) << output;
    EXPECT_NE(output.find("1 of 4 sequence caches written"), std::string::npos) << output;

    testsupport::ScopedWorkDir cwd(tree.workDir());
    for (const char* name : {"Capped", "Lost", "Broken"})
        EXPECT_FALSE(std::filesystem::exists(CutsceneSequence::cachePath(name))) << name;
    CutsceneSequence good;
    ASSERT_TRUE(good.readSequenceCache("Good", 2, nullptr));
    ASSERT_EQ(good.entryCount, 1u);
    EXPECT_EQ(good.entries[0].dialog()->getBackgroundImage(), "st_bg_dawn.png");
}
