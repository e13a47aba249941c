// Writes the game-mode table with the interface texts (../../Data/System/GMode.Dat) from
// data/tables/GMode.ini. The source's format is described at the top of that file; the binary
// layout is the one PlayerProfile::loadModes reads.
#include "BuildStep.h"
#include "TableSource.h"

#include "core/BinaryIO.h"
#include "core/PlayerProfile.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

bool buildGameModeTable(BuildContext& ctx)
{
    TableSource src;
    src.setLog(&ctx.log);
    if (!src.open(ctx.dataDir + "/tables/GMode.ini"))
        return false;

    uint32_t languages = 0;
    while (src.hasSection("Texts_" + std::to_string(languages)))
        ++languages;
    uint32_t modes = 0;
    while (src.hasSection("Mode_" + std::to_string(modes)))
        ++modes;
    if (languages == 0 || languages > PlayerProfile::kMaxLanguages)
        src.error("needs 1 to " + std::to_string(PlayerProfile::kMaxLanguages) + " [Texts_N] sections");
    if (modes > PlayerProfile::kMaxModes)
        src.error("has more than " + std::to_string(PlayerProfile::kMaxModes) + " modes");

    BinaryWriter out;
    out.writeU32(PlayerProfile::kModeTableMagic);
    out.writeU32(languages);
    for (uint32_t l = 0; l < languages; ++l) {
        const std::string section = "Texts_" + std::to_string(l);
        for (uint32_t i = 0; i < UiTextTable::kTextCount; ++i)
            writeBinString(out, src.text(section, std::to_string(i)));
    }
    out.writeU32(modes);
    for (uint32_t m = 0; m < modes; ++m) {
        const std::string s = "Mode_" + std::to_string(m);
        writeBinString(out, src.text(s, "Name"));
        out.writeBool(src.flag(s, "Locked"));
        writeBinString(out, src.text(s, "SecondName"));
        out.writeU32(src.whole(s, "Compare"));
        for (uint32_t l = 0; l < languages; ++l) {
            const std::string n = std::to_string(l);
            writeBinString(out, src.text(s, "Title_" + n));
            writeBinString(out, src.text(s, "Description_" + n));
            writeBinString(out, src.text(s, "HowToUnlock_" + n));
        }
        out.writeBool(src.flag(s, "UnlockByResult"));
        const uint32_t refMode = src.whole(s, "RefMode");
        out.writeU32(refMode);
        out.writeU32(src.whole(s, "UnlockCompare"));
        out.writeF32(src.real(s, "Threshold"));
        out.writeBool(src.flag(s, "UnlockByPlays"));
        const uint32_t refMode2 = src.whole(s, "RefMode2");
        out.writeU32(refMode2);
        out.writeU32(src.whole(s, "RequiredPlays"));
        out.writeBool(src.flag(s, "UnlockByLevel"));
        out.writeU32(src.whole(s, "RequiredLevel"));
        if (refMode >= modes || refMode2 >= modes)
            src.error("[" + s + "] RefMode and RefMode2 must name one of the modes");
    }
    if (!src.ok())
        return false;

    std::error_code ec;
    std::filesystem::create_directories("../../Data/System", ec);
    if (!out.commit(PlayerProfile::modeTablePath())) {
        ctx.log << "cannot write " << PlayerProfile::modeTablePath() << "\n";
        return false;
    }
    ctx.log << "GMode.Dat: " << languages << " languages, " << modes << " modes\n";
    return true;
}

}  // namespace

DATABUILDER_STEP("game-mode table", 40, buildGameModeTable);
