#pragma once
// Compound values of the cutscene caches: vectors as their components x, y(, z) and colours as
// r, g, b, a, each a little-endian f32. A failed read leaves the value alone.
#include "core/BinaryIO.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

namespace cutscene_io {

inline void put(BinaryWriter& out, const Ogre::Vector2& v)
{
    out.writeF32(v.x);
    out.writeF32(v.y);
}

inline void put(BinaryWriter& out, const Ogre::Vector3& v)
{
    out.writeF32(v.x);
    out.writeF32(v.y);
    out.writeF32(v.z);
}

inline void put(BinaryWriter& out, const Ogre::ColourValue& c)
{
    out.writeF32(c.r);
    out.writeF32(c.g);
    out.writeF32(c.b);
    out.writeF32(c.a);
}

inline void get(BinaryReader& in, Ogre::Vector2& v)
{
    float x = 0, y = 0;
    if (in.readF32(x) && in.readF32(y))
        v = Ogre::Vector2(x, y);
}

inline void get(BinaryReader& in, Ogre::Vector3& v)
{
    float x = 0, y = 0, z = 0;
    if (in.readF32(x) && in.readF32(y) && in.readF32(z))
        v = Ogre::Vector3(x, y, z);
}

inline void get(BinaryReader& in, Ogre::ColourValue& c)
{
    float r = 0, g = 0, b = 0, a = 0;
    if (in.readF32(r) && in.readF32(g) && in.readF32(b) && in.readF32(a))
        c = Ogre::ColourValue(r, g, b, a);
}

}  // namespace cutscene_io
