#pragma once
// A small campaign catalogue written into the test tree, and the campaign read from it.
#include "core/BinaryIO.h"
#include "core/CampaignData.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace challengefixture {

struct Challenge {
    uint32_t requiredPoints = 0;
    uint32_t requiredStep = 0;
    bool resultIsTime = false;
    float gold = 30, silver = 20, bronze = 10;
    bool intro = false;
};

struct Catalogue {
    std::vector<std::vector<Challenge>> tiers;
    std::array<float, 5> weaponPrices{10, 20, 30, 40, 50};
    std::array<uint32_t, 9> upgradePrices{100, 200, 300, 100, 200, 300, 100, 200, 300};
    std::vector<bool> stepShopLocked;  // one per story step
};

inline std::string challengeName(size_t tier, size_t index)
{
    return "T" + std::to_string(tier + 1) + "C" + std::to_string(index + 1);
}

// Writes ../../Data/System/GCampA.TCD (one language) and makes ../../Saves.
inline void writeCatalogue(const Catalogue& f)
{
    BinaryWriter w;
    w.writeU32(CampaignData::kCatalogueMagic);
    w.writeU32(1);
    for (float p : f.weaponPrices)
        w.writeF32(p);
    for (int i = 0; i < 5; ++i)
        writeBinString(w, "weapon" + std::to_string(i + 1));
    for (int i = 0; i < 5; ++i) {
        writeBinString(w, "Weapon " + std::to_string(i + 1));
        writeBinString(w, "weapon text");
    }
    w.writeU32(static_cast<uint32_t>(f.tiers.size()));
    for (size_t t = 0; t < f.tiers.size(); ++t) {
        w.writeU32(static_cast<uint32_t>(f.tiers[t].size()));
        for (size_t n = 0; n < f.tiers[t].size(); ++n) {
            const Challenge& c = f.tiers[t][n];
            const std::string name = challengeName(t, n);
            writeBinString(w, name);
            w.writeBool(c.intro);
            writeBinString(w, name + "_In");
            w.writeBool(false);
            writeBinString(w, "");
            w.writeU32(c.requiredPoints);
            writeBinString(w, name + " title");
            writeBinString(w, name + " first line;second line");
            w.writeU32(c.requiredStep);
            w.writeU32(0);
            w.writeU32(c.resultIsTime ? 3 : 4);
            w.writeBool(c.resultIsTime);
            w.writeF32(c.gold);
            w.writeU32(30);
            w.writeF32(c.silver);
            w.writeU32(20);
            w.writeF32(c.bronze);
            w.writeU32(10);
        }
    }
    for (uint32_t i = 0; i < 9; ++i) {
        w.writeU32(f.upgradePrices[i]);
        w.writeF32(1.0f);
        w.writeF32(1.0f);
        writeBinString(w, "Upgrade " + std::to_string(i / 3 + 1) + "." + std::to_string(i % 3 + 1));
        writeBinString(w, "upgrade text");
    }
    w.writeU32(static_cast<uint32_t>(f.stepShopLocked.size()));
    for (size_t s = 0; s < f.stepShopLocked.size(); ++s) {
        writeBinString(w, "Reach step " + std::to_string(s + 1));
        w.writeU8(0);
        w.writeBool(f.stepShopLocked[s]);
    }
    std::filesystem::create_directories("../../Data/System");
    std::filesystem::create_directories("../../Saves");
    const std::vector<uint8_t> bytes = w.bytes();
    writeFileAtomically(CampaignData::cataloguePath(), bytes.data(), bytes.size());
}

// The campaign of that catalogue with fresh progress; the caller hands it to a session.
inline CampaignData* loadCampaign(const Catalogue& f, const std::string& profile = "Tester")
{
    writeCatalogue(f);
    std::filesystem::remove(CampaignData::progressPath(profile));
    auto* c = new CampaignData("TcData", profile, 1);
    c->loadProgress();
    return c;
}

}  // namespace challengefixture
