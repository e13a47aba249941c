#pragma once
// The definition of one cutscene of a sequence (CutSceneParams) and the dialog scene that every
// entry of a sequence carries (DialogCutSceneParams): characters with poses and expressions, free
// images, background, music, an optional map with a camera, and the dialog actions. It is read
// from section "CutScene_<index+1>" of "../../Data/Cutscene/<sequence>.ini" or from its record in
// the sequence cache, and written to that record.
#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cutscenes/DialogActions.h"

class BinaryReader;
class BinaryWriter;
class IniSource;
namespace audio {
class SoundManager;
}

// "../../Data/Cutscene/<sequence>.ini".
std::string cutsceneIniPath(const std::string& sequenceName);

class CutSceneParams {
public:
    CutSceneParams(std::string sequenceName, uint32_t index);
    CutSceneParams(const CutSceneParams&) = delete;
    CutSceneParams& operator=(const CutSceneParams&) = delete;
    virtual ~CutSceneParams();

    // Opens the sequence .ini (a missing file raises the engine's file-not-found exception) and
    // reads this definition's section; false when a count of the section is over its cap.
    virtual bool load();
    // The same from an .ini already open.
    virtual bool load(IniSource& ini);
    // Reads exactly one record; false on a short or damaged one.
    virtual bool readCache(BinaryReader& in);
    virtual void writeCache(BinaryWriter& out) const;

    audio::SoundManager* soundManager = nullptr;  // borrowed; handed to sound actions
    std::string sequenceName;
    uint32_t kind = 0;  // 3 in a dialog scene
    uint32_t index = 0;
    std::vector<std::unique_ptr<BasicActionParams>> actions;
    uint32_t actionCount = 0;
};

struct PoseExpression {
    std::string Name;
    std::string Img;
    Ogre::Vector2 ImgSize = Ogre::Vector2::ZERO;
    Ogre::Vector2 ImgPivot = Ogre::Vector2::ZERO;
    Ogre::Vector2 PosOffset = Ogre::Vector2::ZERO;  // against the pose image
};

struct CharacterPose {
    std::string Name;
    std::string Img;
    Ogre::Vector2 ImgSize = Ogre::Vector2::ZERO;
    Ogre::Vector2 ImgPivot = Ogre::Vector2::ZERO;
    uint32_t DefExp = 0;
    uint32_t NumExps = 0;  // key "_NumExps"
    std::vector<PoseExpression> expressions;
};

struct DialogCharacter {
    std::string CharName;
    Ogre::ColourValue TextColour = Ogre::ColourValue::White;
    bool StartInScene = false;
    Ogre::ColourValue ImgColour = Ogre::ColourValue::White;
    float ImgOpacity = 0.0f;
    uint32_t BlendType = 0;
    uint32_t CharAlign = 0;
    Ogre::Vector2 CharOffset = Ogre::Vector2::ZERO;
    uint32_t DefPose = 0;  // 1-based
    uint32_t NumPoses = 0;
    std::vector<CharacterPose> poses;
};

struct DialogImage {
    std::string ImgFile;
    Ogre::Vector2 ImgSize = Ogre::Vector2::ZERO;
    uint32_t SizeType = 0;
    bool StartInScene = false;
    Ogre::ColourValue ImgColour = Ogre::ColourValue::White;
    float ImgOpacity = 0.0f;
    uint32_t BlendType = 0;
    uint32_t ImgAlign = 0;
    Ogre::Vector2 ImgOffset = Ogre::Vector2::ZERO;
};

class DialogCutSceneParams : public CutSceneParams {
public:
    // Bounds of every count read from an .ini or a cache: beyond them the source is refused.
    static constexpr uint32_t kMaxCharacters = 32;
    static constexpr uint32_t kMaxPoses = 32;
    static constexpr uint32_t kMaxExpressions = 32;
    static constexpr uint32_t kMaxImages = 64;
    static constexpr uint32_t kMaxActions = 1024;
    static constexpr uint32_t kKind = 3;

    DialogCutSceneParams(audio::SoundManager* soundManager, std::string sequenceName, uint32_t index,
                         uint32_t languageCount);

    using CutSceneParams::load;
    // On failure the definition is left empty, with the reason in problem() (and the log).
    bool load(IniSource& ini) override;
    // On failure the definition is left empty.
    bool readCache(BinaryReader& in) override;
    void writeCache(BinaryWriter& out) const override;

    // Read access for the dialog player; "" or zero for an index out of range.
    std::string getPoseImage(uint32_t c, uint32_t p) const;
    Ogre::Vector2 getPoseImageSize(uint32_t c, uint32_t p) const;
    Ogre::Vector2 getPosePivot(uint32_t c, uint32_t p) const;
    std::string getImageFile(uint32_t k) const;
    std::string getBackgroundImage() const { return BackGroundImg; }
    std::string getSceneMap() const { return SceneMap; }
    std::string getCutMusic() const { return CutMusic; }

    // Why the last load failed ("" after a success).
    const std::string& problem() const { return problem_; }

    uint32_t languageCount = 0;
    std::vector<DialogCharacter> characters;
    uint32_t characterCount = 0;
    std::vector<DialogImage> images;
    uint32_t imageCount = 0;
    std::string BackGroundImg;
    float BackGroundAlpha = 0.0f;
    std::string CutMusic;
    std::string SceneMap;
    uint32_t CameraType = 0;  // 1: the camera takes the five values below
    Ogre::Vector3 CamPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 CamLookAt = Ogre::Vector3::ZERO;
    float CamFOV = 0.0f;  // degrees; 0 keeps the camera's own (so do the clips)
    float CamMinClip = 0.0f;
    float CamMaxClip = 0.0f;
    bool CreditsAfterEnd = false;

private:
    const CharacterPose* pose(uint32_t c, uint32_t p) const;
    void clear();

    std::string problem_;
};
