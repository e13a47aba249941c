#include "definitions/AirObjParams.h"

AirObjParams::AirObjParams(const std::string& name) : goParams(name) { cacheLoaded_ = readCache(); }

AirObjParams::AirObjParams(const std::string& name, DefaultsOnly) : goParams(name) {}

bool AirObjParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_), [](AirObjParams& d, IniSource& ini) {
        readObjectIni(d, ini, 20000.0f);
        readSubObjIni(d, ini);
    });
}

bool AirObjParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kTypeCode, [](AirObjParams& d, CacheReader& in) {
        objectFields(d, in);
        subObjFields(d, in);
    });
}

bool AirObjParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, kTypeCode, [](const AirObjParams& d, CacheWriter& out) {
        objectFields(d, out);
        subObjFields(d, out);
    });
}

uint32_t AirObjParams::mapCode(uint32_t) const { return 1; }
