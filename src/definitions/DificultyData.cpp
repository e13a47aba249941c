#include "definitions/DificultyData.h"

#include "definitions/DefinitionCache.h"

namespace {
constexpr uint32_t kTypeCode = 0;
const DefinitionFamily& family() { return definition_families::Difficulty; }

template <class Self, class IO>
void cacheFields(Self& d, IO& io)
{
    io.value(d.aiOvRestFireL);
    io.value(d.aiOvRestFireLadd);
    io.value(d.aiOvRestFireH);
    io.value(d.aiOvRestFireHadd);
}

// A value left at 0 in the source takes its default; a negative one is kept.
void defaultIfZero(float& v, float fallback)
{
    if (v == 0.0f)
        v = fallback;
}
}  // namespace

bool DificultyData::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), kName), [](DificultyData& d, IniSource& ini) {
        d.aiOvRestFireL = ini.real("Data", "aiOvRestFireL");
        d.aiOvRestFireLadd = ini.real("Data", "aiOvRestFireLadd");
        d.aiOvRestFireH = ini.real("Data", "aiOvRestFireH");
        d.aiOvRestFireHadd = ini.real("Data", "aiOvRestFireHadd");
        d.aiOvRestScale = 0.5f;
        defaultIfZero(d.aiOvRestFireL, 4.0f);
        defaultIfZero(d.aiOvRestFireLadd, 2.0f);
        defaultIfZero(d.aiOvRestFireH, 0.3f);
        defaultIfZero(d.aiOvRestFireHadd, 0.3f);
    });
}

bool DificultyData::readCache()
{
    return loadDefinitionCache(*this, family(), kName, kTypeCode, [](DificultyData& d, CacheReader& in) {
        cacheFields(d, in);
        d.aiOvRestScale = 0.5f;
    });
}

bool DificultyData::writeCache() const
{
    return saveDefinitionCache(*this, family(), kName, kTypeCode,
                               [](const DificultyData& d, CacheWriter& out) { cacheFields(d, out); });
}
