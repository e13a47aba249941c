#include "definitions/GroundObjParams.h"

GroundObjParams::GroundObjParams(const std::string& name) : goParams(name) { cacheLoaded_ = readCache(); }

GroundObjParams::GroundObjParams(const std::string& name, DefaultsOnly) : goParams(name) {}

bool GroundObjParams::readIni()
{
    return loadDefinitionIni(*this, definitionIniPath(family(), name_), [](GroundObjParams& d, IniSource& ini) {
        readObjectIni(d, ini, 5000.0f);
        readSubObjIni(d, ini);
    });
}

bool GroundObjParams::readCache()
{
    return loadDefinitionCache(*this, family(), name_, kTypeCode, [](GroundObjParams& d, CacheReader& in) {
        objectFields(d, in);
        subObjFields(d, in);
    });
}

bool GroundObjParams::writeCache() const
{
    return saveDefinitionCache(*this, family(), name_, kTypeCode, [](const GroundObjParams& d, CacheWriter& out) {
        objectFields(d, out);
        subObjFields(d, out);
    });
}

uint32_t GroundObjParams::mapCode(uint32_t code) const { return (code >= 1 && code <= 5) ? 29 + code : 35; }
