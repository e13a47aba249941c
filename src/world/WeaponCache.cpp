#include "world/WeaponCache.h"

namespace weapon_cache {
namespace {

bool readFrom(CacheReader& in, const std::string& label, WeaponCacheKind kind, WeaponCacheRecord& record)
{
    WeaponCacheRecord read;
    fields(read, in, kind);
    if (!in.ok()) {
        logDefinitionProblem("Weapon cache '" + label + "' is damaged; nothing is built from it");
        return false;
    }
    if (kind == WeaponCacheKind::PickUp && !in.finish()) {
        WeaponCacheRecord anims;
        animationFields(anims, in);
        if (!in.finish()) {
            logDefinitionProblem("Weapon cache '" + label + "' is damaged; nothing is built from it");
            return false;
        }
        read.hasAnimations = true;
        read.hasFireAnim = anims.hasFireAnim;
        read.FireAnim_Loop = anims.FireAnim_Loop;
        read.FireAnim = anims.FireAnim;
        read.hasIdleAnim = anims.hasIdleAnim;
        read.IdleAnimSpd = anims.IdleAnimSpd;
        read.IdleAnim = anims.IdleAnim;
    } else if (!in.finish()) {
        logDefinitionProblem("Weapon cache '" + label + "' holds more than a weapon; nothing is built from it");
        return false;
    }
    record = std::move(read);
    return true;
}

}  // namespace

bool read(const std::string& name, WeaponCacheKind kind, WeaponCacheRecord& record)
{
    CacheReader in;
    if (!in.open(family(), name, kAnyTypeCode))
        return false;
    return readFrom(in, definitionCachePath(family(), name), kind, record);
}

bool readBytes(std::vector<uint8_t> bytes, WeaponCacheKind kind, WeaponCacheRecord& record)
{
    CacheReader in(std::move(bytes));
    if (!in.checkHeader(family().magic, kAnyTypeCode))
        return false;
    return readFrom(in, "(memory)", kind, record);
}

namespace {
CacheWriter makeWriter(const std::string& name, WeaponCacheKind kind, const WeaponCacheRecord& record)
{
    CacheWriter out(family(), name, static_cast<uint32_t>(kind));
    fields(record, out, kind);
    if (kind == WeaponCacheKind::PickUp)
        animationFields(record, out);
    return out;
}
}  // namespace

std::vector<uint8_t> encode(const std::string& name, WeaponCacheKind kind, const WeaponCacheRecord& record)
{
    return makeWriter(name, kind, record).bytes();
}

bool write(const std::string& name, WeaponCacheKind kind, const WeaponCacheRecord& record)
{
    const CacheWriter out = makeWriter(name, kind, record);
    return out.ok() && out.commit(family(), name);
}

}  // namespace weapon_cache
