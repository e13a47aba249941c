#include "cutscenes/CutSceneParams.h"

#include "core/BinaryIO.h"
#include "cutscenes/CutsceneCacheIO.h"
#include "definitions/DefinitionCache.h"

using cutscene_io::get;
using cutscene_io::put;

std::string cutsceneIniPath(const std::string& sequenceName) { return "../../Data/Cutscene/" + sequenceName + ".ini"; }

// ---- CutSceneParams ----

CutSceneParams::CutSceneParams(std::string sequenceName_, uint32_t index_)
    : sequenceName(std::move(sequenceName_)), index(index_)
{
}

CutSceneParams::~CutSceneParams() = default;

bool CutSceneParams::load()
{
    IniSource ini;
    ini.loadOrThrow(cutsceneIniPath(sequenceName));
    return load(ini);
}

bool CutSceneParams::load(IniSource&) { return true; }

bool CutSceneParams::readCache(BinaryReader& in) { return in.ok(); }

void CutSceneParams::writeCache(BinaryWriter&) const {}

// ---- DialogCutSceneParams ----

namespace {

std::string num(uint32_t n) { return std::to_string(uint64_t(n) + 1); }

// A count of the .ini; false (with the reason) when it is over its cap.
bool iniCount(const IniSource& ini, const std::string& section, const std::string& key, uint32_t cap,
              uint32_t& n, std::string& problem)
{
    n = ini.uint(section, key);
    if (n <= cap)
        return true;
    problem = ini.path() + ": [" + section + "] " + key + " is " + std::to_string(n) + ", more than " +
              std::to_string(cap);
    logDefinitionProblem(problem);
    n = 0;
    return false;
}

}  // namespace

DialogCutSceneParams::DialogCutSceneParams(audio::SoundManager* soundManager_, std::string sequenceName_,
                                           uint32_t index_, uint32_t languageCount_)
    : CutSceneParams(std::move(sequenceName_), index_), languageCount(languageCount_)
{
    soundManager = soundManager_;
    kind = kKind;
}

void DialogCutSceneParams::clear()
{
    actions.clear();
    actionCount = 0;
    characters.clear();
    characterCount = 0;
    images.clear();
    imageCount = 0;
    BackGroundImg.clear();
    BackGroundAlpha = 0.0f;
    CutMusic.clear();
    SceneMap.clear();
    CameraType = 0;
    CamPosition = Ogre::Vector3::ZERO;
    CamLookAt = Ogre::Vector3::ZERO;
    CamFOV = CamMinClip = CamMaxClip = 0.0f;
    CreditsAfterEnd = false;
}

bool DialogCutSceneParams::load(IniSource& ini)
{
    clear();
    problem_.clear();
    const std::string s = cutsceneSection(index);
    const auto fail = [this] {
        clear();
        return false;
    };

    if (!iniCount(ini, s, "Num_Characters", kMaxCharacters, characterCount, problem_))
        return fail();
    characters.resize(characterCount);
    for (uint32_t c = 0; c < characterCount; ++c) {
        DialogCharacter& ch = characters[c];
        const std::string k = "Char_" + num(c);
        ch.CharName = ini.text(s, k + "_CharName");
        ch.TextColour = ini.colour(s, k + "_TextColour");
        ch.StartInScene = ini.flag(s, k + "_StartInScene");
        ch.ImgColour = ini.colour(s, k + "_ImgColour");
        ch.ImgOpacity = ini.real(s, k + "_ImgOpacity");
        ch.BlendType = ini.uint(s, k + "_BlendType");
        ch.CharAlign = ini.uint(s, k + "_CharAlign");
        ch.CharOffset = ini.vec2(s, k + "_CharOffset");
        ch.DefPose = ini.uint(s, k + "_DefPose");
        if (!iniCount(ini, s, k + "_NumPoses", kMaxPoses, ch.NumPoses, problem_))
            return fail();
        ch.poses.resize(ch.NumPoses);
        for (uint32_t p = 0; p < ch.NumPoses; ++p) {
            CharacterPose& pose = ch.poses[p];
            const std::string pk = k + "_Pose_" + num(p);
            pose.Name = ini.text(s, pk + "_Name");
            pose.Img = ini.text(s, pk + "_Img");
            pose.ImgSize = ini.vec2(s, pk + "_ImgSize");
            pose.ImgPivot = ini.vec2(s, pk + "_ImgPivot");
            pose.DefExp = ini.uint(s, pk + "_DefExp");
            if (!iniCount(ini, s, pk + "_NumExps", kMaxExpressions, pose.NumExps, problem_))
                return fail();
            pose.expressions.resize(pose.NumExps);
            for (uint32_t e = 0; e < pose.NumExps; ++e) {
                PoseExpression& exp = pose.expressions[e];
                const std::string ek = pk + "_Exp_" + num(e);
                exp.Name = ini.text(s, ek + "_Name");
                exp.Img = ini.text(s, ek + "_Img");
                exp.ImgSize = ini.vec2(s, ek + "_ImgSize");
                exp.ImgPivot = ini.vec2(s, ek + "_ImgPivot");
                exp.PosOffset = ini.vec2(s, ek + "_PosOffset");
            }
        }
    }

    if (!iniCount(ini, s, "Num_Images", kMaxImages, imageCount, problem_))
        return fail();
    images.resize(imageCount);
    for (uint32_t i = 0; i < imageCount; ++i) {
        DialogImage& img = images[i];
        const std::string k = "Img_" + num(i);
        img.ImgFile = ini.text(s, k + "_ImgFile");
        img.ImgSize = ini.vec2(s, k + "_ImgSize");
        img.SizeType = ini.uint(s, k + "_SizeType");
        img.StartInScene = ini.flag(s, k + "_StartInScene");
        img.ImgColour = ini.colour(s, k + "_ImgColour");
        img.ImgOpacity = ini.real(s, k + "_ImgOpacity");
        img.BlendType = ini.uint(s, k + "_BlendType");
        img.ImgAlign = ini.uint(s, k + "_ImgAlign");
        img.ImgOffset = ini.vec2(s, k + "_ImgOffset");
    }

    CreditsAfterEnd = ini.flag(s, "CreditsAfterEnd");
    CutMusic = ini.text(s, "CutMusic");
    SceneMap = ini.text(s, "SceneMap");
    BackGroundImg = ini.text(s, "BackGroundImg");
    BackGroundAlpha = ini.real(s, "BackGroundAlpha");
    CameraType = ini.uint(s, "CameraType");
    CamPosition = ini.vec3(s, "CamPosition");
    CamLookAt = ini.vec3(s, "CamLookAt");
    CamFOV = ini.real(s, "CamFOV");
    CamMinClip = ini.real(s, "CamMinClip");
    CamMaxClip = ini.real(s, "CamMaxClip");

    if (!iniCount(ini, s, "Num_Action", kMaxActions, actionCount, problem_))
        return fail();
    actions.reserve(actionCount);
    for (uint32_t a = 0; a < actionCount; ++a) {
        actions.push_back(createDialogAction(ini.uint(s, actionKey(a, "_Type")), languageCount, soundManager));
        actions.back()->load(ini, a, index);
    }
    return true;
}

bool DialogCutSceneParams::readCache(BinaryReader& in)
{
    clear();
    if (!in.readCount(characterCount, kMaxCharacters))
        characterCount = 0;
    characters.resize(characterCount);
    for (DialogCharacter& ch : characters) {
        ch.CharName = readBinString(in);
        get(in, ch.TextColour);
        in.readBool(ch.StartInScene);
        get(in, ch.ImgColour);
        in.readF32(ch.ImgOpacity);
        in.readU32(ch.BlendType);
        in.readU32(ch.CharAlign);
        get(in, ch.CharOffset);
        in.readU32(ch.DefPose);
        if (!in.readCount(ch.NumPoses, kMaxPoses))
            break;
        ch.poses.resize(ch.NumPoses);
        for (CharacterPose& pose : ch.poses) {
            pose.Name = readBinString(in);
            pose.Img = readBinString(in);
            get(in, pose.ImgSize);
            get(in, pose.ImgPivot);
            in.readU32(pose.DefExp);
            if (!in.readCount(pose.NumExps, kMaxExpressions))
                break;
            pose.expressions.resize(pose.NumExps);
            for (PoseExpression& exp : pose.expressions) {
                exp.Name = readBinString(in);
                exp.Img = readBinString(in);
                get(in, exp.ImgSize);
                get(in, exp.ImgPivot);
                get(in, exp.PosOffset);
            }
        }
        if (!in.ok())
            break;
    }

    if (in.ok() && in.readCount(imageCount, kMaxImages)) {
        images.resize(imageCount);
        for (DialogImage& img : images) {
            img.ImgFile = readBinString(in);
            get(in, img.ImgSize);
            in.readU32(img.SizeType);
            in.readBool(img.StartInScene);
            get(in, img.ImgColour);
            in.readF32(img.ImgOpacity);
            in.readU32(img.BlendType);
            in.readU32(img.ImgAlign);
            get(in, img.ImgOffset);
        }
    }

    in.readBool(CreditsAfterEnd);
    CutMusic = readBinString(in);
    SceneMap = readBinString(in);
    BackGroundImg = readBinString(in);
    in.readF32(BackGroundAlpha);
    in.readU32(CameraType);
    get(in, CamPosition);
    get(in, CamLookAt);
    in.readF32(CamFOV);
    in.readF32(CamMinClip);
    in.readF32(CamMaxClip);

    uint32_t count = 0;
    if (in.readCount(count, kMaxActions)) {
        actions.reserve(count);
        for (uint32_t a = 0; a < count && in.ok(); ++a) {
            uint32_t type = 0;
            if (!in.readU32(type))
                break;
            actions.push_back(createDialogAction(type, languageCount, soundManager));
            actions.back()->readCache(in, a, index);
        }
    }
    if (!in.ok()) {
        clear();
        return false;
    }
    actionCount = count;
    return true;
}

void DialogCutSceneParams::writeCache(BinaryWriter& out) const
{
    out.writeU32(static_cast<uint32_t>(characters.size()));
    for (const DialogCharacter& ch : characters) {
        writeBinString(out, ch.CharName);
        put(out, ch.TextColour);
        out.writeBool(ch.StartInScene);
        put(out, ch.ImgColour);
        out.writeF32(ch.ImgOpacity);
        out.writeU32(ch.BlendType);
        out.writeU32(ch.CharAlign);
        put(out, ch.CharOffset);
        out.writeU32(ch.DefPose);
        out.writeU32(static_cast<uint32_t>(ch.poses.size()));
        for (const CharacterPose& pose : ch.poses) {
            writeBinString(out, pose.Name);
            writeBinString(out, pose.Img);
            put(out, pose.ImgSize);
            put(out, pose.ImgPivot);
            out.writeU32(pose.DefExp);
            out.writeU32(static_cast<uint32_t>(pose.expressions.size()));
            for (const PoseExpression& exp : pose.expressions) {
                writeBinString(out, exp.Name);
                writeBinString(out, exp.Img);
                put(out, exp.ImgSize);
                put(out, exp.ImgPivot);
                put(out, exp.PosOffset);
            }
        }
    }
    out.writeU32(static_cast<uint32_t>(images.size()));
    for (const DialogImage& img : images) {
        writeBinString(out, img.ImgFile);
        put(out, img.ImgSize);
        out.writeU32(img.SizeType);
        out.writeBool(img.StartInScene);
        put(out, img.ImgColour);
        out.writeF32(img.ImgOpacity);
        out.writeU32(img.BlendType);
        out.writeU32(img.ImgAlign);
        put(out, img.ImgOffset);
    }
    out.writeBool(CreditsAfterEnd);
    writeBinString(out, CutMusic);
    writeBinString(out, SceneMap);
    writeBinString(out, BackGroundImg);
    out.writeF32(BackGroundAlpha);
    out.writeU32(CameraType);
    put(out, CamPosition);
    put(out, CamLookAt);
    out.writeF32(CamFOV);
    out.writeF32(CamMinClip);
    out.writeF32(CamMaxClip);
    out.writeU32(static_cast<uint32_t>(actions.size()));
    for (uint32_t a = 0; a < actions.size(); ++a) {
        // A null slot is stored as an action without data, so the list keeps its length.
        const BasicActionParams* action = actions[a].get();
        out.writeU32(action ? action->type : DialogActionType::Base);
        if (action)
            action->writeCache(out, a, index);
    }
}

const CharacterPose* DialogCutSceneParams::pose(uint32_t c, uint32_t p) const
{
    if (c >= characters.size() || p >= characters[c].poses.size())
        return nullptr;
    return &characters[c].poses[p];
}

std::string DialogCutSceneParams::getPoseImage(uint32_t c, uint32_t p) const
{
    const CharacterPose* cp = pose(c, p);
    return cp ? cp->Img : std::string();
}

Ogre::Vector2 DialogCutSceneParams::getPoseImageSize(uint32_t c, uint32_t p) const
{
    const CharacterPose* cp = pose(c, p);
    return cp ? cp->ImgSize : Ogre::Vector2::ZERO;
}

Ogre::Vector2 DialogCutSceneParams::getPosePivot(uint32_t c, uint32_t p) const
{
    const CharacterPose* cp = pose(c, p);
    return cp ? cp->ImgPivot : Ogre::Vector2::ZERO;
}

std::string DialogCutSceneParams::getImageFile(uint32_t k) const
{
    return k < images.size() ? images[k].ImgFile : std::string();
}
