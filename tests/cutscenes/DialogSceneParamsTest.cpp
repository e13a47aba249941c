#include "CutsceneTestSupport.h"

#include "core/BinaryIO.h"

#include <OgreException.h>

using namespace cutscenetest;

namespace {

// Writes the scene and reads it back into a fresh definition of the same sequence and index.
std::unique_ptr<DialogCutSceneParams> roundTrip(const DialogCutSceneParams& scene, size_t* size = nullptr)
{
    BinaryWriter out;
    scene.writeCache(out);
    if (size)
        *size = out.bytes().size();
    BinaryReader in(out.bytes());
    auto back = std::make_unique<DialogCutSceneParams>(nullptr, scene.sequenceName, scene.index, scene.languageCount);
    EXPECT_TRUE(back->readCache(in));
    EXPECT_TRUE(in.atEnd());
    return back;
}

}  // namespace

TEST(DialogSceneParams, SectionWithoutKeysIsAnEmptySceneOf69Bytes)
{
    SequenceTree tree("Bare", "[CutScene_1]\n");
    DialogCutSceneParams scene(nullptr, "Bare", 0, 2);
    EXPECT_EQ(scene.kind, 3u);
    ASSERT_TRUE(scene.load());
    EXPECT_EQ(scene.characterCount, 0u);
    EXPECT_TRUE(scene.characters.empty());
    EXPECT_EQ(scene.imageCount, 0u);
    EXPECT_EQ(scene.actionCount, 0u);
    EXPECT_EQ(scene.getBackgroundImage(), "");
    EXPECT_EQ(scene.getCutMusic(), "");
    EXPECT_EQ(scene.getSceneMap(), "");
    EXPECT_EQ(scene.CameraType, 0u);
    EXPECT_EQ(scene.CamPosition, Ogre::Vector3::ZERO);
    EXPECT_EQ(scene.BackGroundAlpha, 0.0f);
    EXPECT_FALSE(scene.CreditsAfterEnd);

    size_t size = 0;
    const auto back = roundTrip(scene, &size);
    EXPECT_EQ(size, 69u);
    expectSameScene(scene, *back);
}

TEST(DialogSceneParams, FixtureSceneReadsItsKeysAndReadsBackFromItsRecord)
{
    SequenceTree tree("Fixture", kFixtureIni);
    DialogCutSceneParams scene(nullptr, "Fixture", 0, 2);
    ASSERT_TRUE(scene.load());

    ASSERT_EQ(scene.characterCount, 2u);
    const DialogCharacter& cmd = scene.characters[0];
    EXPECT_EQ(cmd.CharName, "Commander Ilsa");
    EXPECT_EQ(cmd.TextColour, Ogre::ColourValue(1, 0.5f, 0, 0.75f));
    EXPECT_EQ(cmd.ImgColour, Ogre::ColourValue(0.9f, 0.8f, 0.7f, 1));
    EXPECT_TRUE(cmd.StartInScene);
    EXPECT_EQ(cmd.CharOffset, Ogre::Vector2(12, -30));
    EXPECT_EQ(cmd.DefPose, 2u);
    ASSERT_EQ(cmd.NumPoses, 2u);
    ASSERT_EQ(cmd.poses[0].NumExps, 2u);
    EXPECT_EQ(cmd.poses[0].expressions[0].PosOffset, Ogre::Vector2(5, 6));
    EXPECT_EQ(cmd.poses[0].expressions[1].Name, "frown");
    EXPECT_EQ(cmd.poses[0].expressions[1].Img, "");
    EXPECT_EQ(cmd.poses[1].NumExps, 0u);
    EXPECT_TRUE(cmd.poses[1].expressions.empty());
    EXPECT_EQ(scene.getPoseImage(0, 1), "cmd_alert.png");
    EXPECT_EQ(scene.getPoseImageSize(0, 1), Ogre::Vector2(250, 390));
    EXPECT_EQ(scene.getPosePivot(0, 0), Ogre::Vector2(128, 380));
    EXPECT_EQ(scene.getPoseImage(1, 0), "");  // the pilot has no pose
    EXPECT_EQ(scene.getPoseImage(7, 0), "");

    // Missing colours are the converter's opaque black, not the constructor's white.
    const DialogCharacter& pilot = scene.characters[1];
    EXPECT_EQ(pilot.TextColour, Ogre::ColourValue(0, 0, 0, 1));
    EXPECT_EQ(pilot.ImgColour, Ogre::ColourValue(0, 0, 0, 1));
    EXPECT_EQ(pilot.NumPoses, 0u);
    EXPECT_TRUE(pilot.poses.empty());

    ASSERT_EQ(scene.imageCount, 1u);
    EXPECT_EQ(scene.getImageFile(0), "map.png");
    EXPECT_EQ(scene.getImageFile(1), "");
    EXPECT_TRUE(scene.images[0].StartInScene);
    EXPECT_EQ(scene.images[0].ImgColour, Ogre::ColourValue(0.2f, 0.4f, 0.6f, 0.8f));

    EXPECT_TRUE(scene.CreditsAfterEnd);
    EXPECT_EQ(scene.getCutMusic(), "story.ogg");
    EXPECT_EQ(scene.getSceneMap(), "Town");
    EXPECT_EQ(scene.getBackgroundImage(), "sky.png");
    EXPECT_EQ(scene.BackGroundAlpha, 0.6f);
    EXPECT_EQ(scene.CameraType, 1u);
    EXPECT_EQ(scene.CamPosition, Ogre::Vector3(10, 20, 30));
    EXPECT_EQ(scene.CamLookAt, Ogre::Vector3(-1, 0, 2.5f));
    EXPECT_EQ(scene.CamFOV, 50.0f);
    EXPECT_EQ(scene.CamMinClip, 0.5f);
    EXPECT_EQ(scene.CamMaxClip, 1500.0f);

    // Types 0 and 9 are base actions.
    std::vector<uint32_t> types;
    for (const auto& a : scene.actions)
        types.push_back(a->type);
    EXPECT_EQ(types, (std::vector<uint32_t>{1, 2, 3, 4, 7, 5, 6, 0, 0}));
    EXPECT_EQ(typeid(*scene.actions[8]), typeid(BasicActionParams));
    const auto& image = static_cast<const DialogAction_ImageStateParam&>(*scene.actions[5]);
    EXPECT_TRUE(image.SIsetVis && image.SIimgfade && image.SIparalAction);
    EXPECT_EQ(image.SIfadeTime, 0.75f);
    EXPECT_EQ(static_cast<const DialogAction_SwapMusicParam&>(*scene.actions[6]).SMmusicName, "tension.ogg");
    EXPECT_EQ(static_cast<const DialogAction_ChangMParam&>(*scene.actions[3]).CMexpIndx, 2u);

    expectSameScene(scene, *roundTrip(scene));
}

TEST(DialogSceneParams, MissingSourceRaisesTheEnginesFileNotFound)
{
    SequenceTree tree;
    DialogCutSceneParams scene(nullptr, "Nowhere", 0, 2);
    EXPECT_THROW(scene.load(), Ogre::FileNotFoundException);
}
