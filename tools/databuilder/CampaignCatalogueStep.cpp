// Writes the campaign catalogue (../../Data/System/GCampA.TCD) from data/tables/GCampA.ini. The
// source's format is described at the top of that file; the binary layout is the one
// CampaignData::load reads. The texts come in as many languages as the game-mode table has
// (data/tables/GMode.ini), since the game reads both with the profile's language count.
#include "BuildStep.h"
#include "TableSource.h"

#include "core/BinaryIO.h"
#include "core/CampaignData.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace {

std::string num(uint32_t n) { return std::to_string(n); }

void writePairs(TableSource& src, BinaryWriter& out, const std::string& section, uint32_t languages,
                const char* titleKey, const char* textKey)
{
    for (uint32_t l = 0; l < languages; ++l) {
        writeBinString(out, src.text(section, titleKey + num(l)));
        writeBinString(out, src.text(section, textKey + num(l)));
    }
}

bool buildCampaignCatalogue(BuildContext& ctx)
{
    TableSource modes;
    modes.setLog(&ctx.log);
    if (!modes.open(ctx.dataDir + "/tables/GMode.ini"))
        return false;
    uint32_t languages = 0;
    while (modes.hasSection("Texts_" + num(languages)))
        ++languages;

    TableSource src;
    src.setLog(&ctx.log);
    if (!src.open(ctx.dataDir + "/tables/GCampA.ini"))
        return false;

    BinaryWriter out;
    out.writeU32(CampaignData::kCatalogueMagic);
    out.writeU32(1);  // version
    for (uint32_t w = 1; w <= CampaignData::kWeaponCount; ++w)
        out.writeF32(src.real("Weapon_" + num(w), "Price"));
    for (uint32_t w = 1; w <= CampaignData::kWeaponCount; ++w)
        writeBinString(out, src.text("Weapon_" + num(w), "Name"));
    for (uint32_t w = 1; w <= CampaignData::kWeaponCount; ++w)
        writePairs(src, out, "Weapon_" + num(w), languages, "Title_", "Text_");

    uint32_t tiers = 0;
    while (src.hasSection("Challenge_" + num(tiers + 1) + "_1"))
        ++tiers;
    if (tiers > CampaignData::kMaxTiers)
        src.error("has more than " + num(CampaignData::kMaxTiers) + " tiers");
    const uint32_t perLanguage = languages > 0 ? languages : 1;
    out.writeU32(tiers);
    for (uint32_t t = 1; t <= tiers; ++t) {
        uint32_t count = 0;
        while (src.hasSection("Challenge_" + num(t) + "_" + num(count + 1)))
            ++count;
        if (count > CampaignData::kMaxChallenges)
            src.error("tier " + num(t) + " has more than " + num(CampaignData::kMaxChallenges) + " challenges");
        out.writeU32(count);
        for (uint32_t c = 1; c <= count; ++c) {
            const std::string s = "Challenge_" + num(t) + "_" + num(c);
            writeBinString(out, src.text(s, "Name"));
            out.writeBool(src.flag(s, "HasIntro"));
            writeBinString(out, src.text(s, "IntroCutscene"));
            out.writeBool(src.flag(s, "HasOutro"));
            writeBinString(out, src.text(s, "OutroCutscene"));
            out.writeU32(src.whole(s, "RequiredPoints"));
            writePairs(src, out, s, perLanguage, "Title_", "Description_");
            out.writeU32(src.whole(s, "RequiredStep"));
            out.writeU32(src.whole(s, "GrantedStep"));
            out.writeU32(src.whole(s, "Compare"));
            out.writeBool(src.flag(s, "ResultIsTime"));
            out.writeF32(src.real(s, "GoldThreshold"));
            out.writeU32(src.whole(s, "GoldPoints"));
            out.writeF32(src.real(s, "SilverThreshold"));
            out.writeU32(src.whole(s, "SilverPoints"));
            out.writeF32(src.real(s, "BronzeThreshold"));
            out.writeU32(src.whole(s, "BronzePoints"));
        }
    }

    for (uint32_t g = 1; g <= CampaignData::kUpgradeGroups; ++g) {
        for (uint32_t l = 1; l <= CampaignData::kUpgradeLevels; ++l) {
            const std::string s = "Upgrade_" + num(g) + "_" + num(l);
            out.writeU32(src.whole(s, "Price"));
            out.writeF32(src.real(s, "ValueA"));
            out.writeF32(src.real(s, "ValueB"));
            writePairs(src, out, s, languages, "Title_", "Text_");
        }
    }

    uint32_t steps = 0;
    while (src.hasSection("Step_" + num(steps + 1)))
        ++steps;
    if (steps > CampaignData::kMaxSteps)
        src.error("has more than " + num(CampaignData::kMaxSteps) + " story steps");
    out.writeU32(steps);
    for (uint32_t i = 1; i <= steps; ++i) {
        const std::string s = "Step_" + num(i);
        for (uint32_t l = 0; l < perLanguage; ++l)
            writeBinString(out, src.text(s, "Name_" + num(l)));
        const uint32_t kept = src.whole(s, "Kept");
        if (kept > 255)
            src.error("[" + s + "] Kept must be 0 to 255");
        out.writeU8(static_cast<uint8_t>(kept));
        out.writeBool(src.flag(s, "ShopLocked"));
    }
    if (!src.ok())
        return false;

    std::error_code ec;
    std::filesystem::create_directories("../../Data/System", ec);
    if (!out.commit(CampaignData::cataloguePath())) {
        ctx.log << "cannot write " << CampaignData::cataloguePath() << "\n";
        return false;
    }
    ctx.log << "GCampA.TCD: " << tiers << " tiers, " << steps << " story steps, " << languages << " languages\n";
    return true;
}

}  // namespace

DATABUILDER_STEP("campaign catalogue", 41, buildCampaignCatalogue);
