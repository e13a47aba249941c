#include "DefinitionTestTree.h"

#include "definitions/DefinitionCache.h"
#include "definitions/DefinitionSlots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
const DefinitionFamily& kFamily = definition_families::GameObject;

std::vector<uint8_t> header(uint32_t magic, uint32_t version, uint32_t type, const std::string& name)
{
    BinaryWriter w;
    w.writeU32(magic);
    w.writeU32(version);
    w.writeU32(type);
    w.writeString(name);
    return w.bytes();
}

struct Entry {
    std::string name;
    float value = 0.0f;
};

// A small definition with one of each kind of value, for the common machinery.
struct Sample {
    std::string text = "default";
    uint32_t count = 7;
    float hp = 0.0f;
    Ogre::Vector3 pos = Ogre::Vector3::ZERO;
    Ogre::Vector2 wheel = Ogre::Vector2::ZERO;
    bool hasSound = false;
    std::string sound;
    std::vector<Entry> entries;

    template <class Self, class IO>
    static void fields(Self& d, IO& io)
    {
        io.value(d.text);
        io.value(d.count);
        io.hitPoints(d.hp);
        io.value(d.pos);
        io.value(d.wheel);
        io.optionalName(d.hasSound, d.sound);
        io.list(d.entries, 4, [](auto& e, auto& io2) {
            io2.value(e.name);
            io2.value(e.value);
        });
    }
};

bool save(const Sample& s, const std::string& name)
{
    return saveDefinitionCache(s, kFamily, name, 9, [](const Sample& d, CacheWriter& out) { Sample::fields(d, out); });
}

bool load(Sample& s, const std::string& name, uint32_t type = 9)
{
    return loadDefinitionCache(s, kFamily, name, type, [](Sample& d, CacheReader& in) { Sample::fields(d, in); });
}

Sample filledSample()
{
    Sample s;
    s.text = "turret \"A\"";
    s.count = 42;
    s.hp = 250.75f;
    s.pos = Ogre::Vector3(1.5f, -2.0f, 3.25f);
    s.wheel = Ogre::Vector2(-0.5f, 0.75f);
    s.hasSound = true;
    s.sound = "boom.ogg";
    s.entries = {{"a", 1.0f}, {"b", 2.0f}};
    return s;
}
}  // namespace

TEST(DefinitionCache, PathsAndAbsentNames)
{
    EXPECT_EQ(definitionIniPath(definition_families::Effect, "Smoke"), "../../Data/Effects/Smoke.ini");
    EXPECT_EQ(definitionCachePath(definition_families::Effect, "Smoke"), "../../Data/System/Smoke.ZVE");
    EXPECT_EQ(definitionCachePath(definition_families::Difficulty, "Dificulty"), "../../Data/System/Dificulty.ZVD");
    EXPECT_TRUE(isAbsentName(""));
    EXPECT_TRUE(isAbsentName(" "));
    EXPECT_FALSE(isAbsentName("  "));
    EXPECT_FALSE(isAbsentName("x"));
}

TEST(DefinitionCache, HitPointsAreClampedBeforeTruncation)
{
    const struct {
        float hp;
        uint32_t word;
    } cases[] = {
        {99.9f, 99u},
        {0.0f, 0u},
        {-0.5f, 0u},
        {-250.0f, 0u},
        {std::numeric_limits<float>::quiet_NaN(), 0u},
        {4294967040.0f, 4294967040u},
        {4294967296.0f, 0xFFFFFFFFu},
        {1e20f, 0xFFFFFFFFu},
        {std::numeric_limits<float>::infinity(), 0xFFFFFFFFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hitPointsToWord(c.hp), c.word) << c.hp;
}

TEST(DefinitionCache, RoundTripKeepsEveryValueButTheHitPointFraction)
{
    DefinitionTestTree t;
    const Sample s = filledSample();
    ASSERT_TRUE(save(s, "sample"));

    Sample back;
    ASSERT_TRUE(load(back, "sample"));
    EXPECT_EQ(back.text, s.text);
    EXPECT_EQ(back.count, 42u);
    EXPECT_EQ(back.hp, 250.0f);
    EXPECT_EQ(back.pos, s.pos);
    EXPECT_EQ(back.wheel, s.wheel);
    EXPECT_TRUE(back.hasSound);
    EXPECT_EQ(back.sound, "boom.ogg");
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[1].name, "b");
    EXPECT_EQ(back.entries[1].value, 2.0f);
}

TEST(DefinitionCache, OptionalNameIsStoredOnlyWhenFlagged)
{
    DefinitionTestTree t;
    Sample s;
    s.hasSound = false;
    s.sound = "ignored.ogg";
    ASSERT_TRUE(save(s, "quiet"));
    Sample loud;
    ASSERT_TRUE(save(loud, "plain"));
    // No string follows a clear flag: same size as a sample with an empty sound.
    EXPECT_EQ(t.readBytes(t.cachePath("quiet", "ZVO")).size(), t.readBytes(t.cachePath("plain", "ZVO")).size());

    Sample back;
    back.sound = "kept";
    ASSERT_TRUE(load(back, "quiet"));
    EXPECT_FALSE(back.hasSound);
    EXPECT_EQ(back.sound, "kept");

    // A flagged blank name reads back as no sound.
    Sample blank;
    blank.hasSound = true;
    blank.sound = " ";
    ASSERT_TRUE(save(blank, "blank"));
    Sample blankBack;
    ASSERT_TRUE(load(blankBack, "blank"));
    EXPECT_FALSE(blankBack.hasSound);
}

TEST(DefinitionCache, HeaderMismatchKeepsTheDefaults)
{
    DefinitionTestTree t;
    ASSERT_TRUE(save(filledSample(), "good"));
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("good", "ZVO"));
    const std::vector<uint8_t> body(good.begin() + header(0, 0, 0, "good").size(), good.end());

    const struct {
        const char* what;
        uint32_t magic, version, type;
    } cases[] = {
        {"wrong magic", 24654, 1, 9},
        {"wrong version", kFamily.magic, 2, 9},
        {"wrong type", kFamily.magic, 1, 3},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = header(c.magic, c.version, c.type, "good");
        bytes.insert(bytes.end(), body.begin(), body.end());
        t.writeBytes(t.cachePath("bad", "ZVO"), bytes);
        Sample s;
        EXPECT_FALSE(load(s, "bad")) << c.what;
        EXPECT_EQ(s.text, "default") << c.what;
        EXPECT_EQ(s.count, 7u) << c.what;
    }

    // A family whose type code is one of its fields accepts any, and reports it.
    Sample any;
    EXPECT_TRUE(load(any, "good", kAnyTypeCode));
    EXPECT_EQ(readDefinitionTypeCode(kFamily, "good"), 9u);
    EXPECT_EQ(readDefinitionTypeCode(kFamily, "missing"), 0u);
    EXPECT_EQ(readDefinitionTypeCode(definition_families::Effect, "good"), 0u);
}

TEST(DefinitionCache, DamagedFilesKeepTheDefaults)
{
    DefinitionTestTree t;
    ASSERT_TRUE(save(filledSample(), "good"));
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("good", "ZVO"));

    // Cut at every length: header, inside a string, inside the list.
    for (size_t n = 0; n < good.size(); ++n) {
        t.writeBytes(t.cachePath("cut", "ZVO"), std::vector<uint8_t>(good.begin(), good.begin() + n));
        Sample s;
        EXPECT_FALSE(load(s, "cut")) << n;
        EXPECT_EQ(s.text, "default") << n;
        EXPECT_TRUE(s.entries.empty()) << n;
    }

    // Bytes after the last field mean another layout.
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    t.writeBytes(t.cachePath("long", "ZVO"), longer);
    Sample s;
    EXPECT_FALSE(load(s, "long"));
    EXPECT_EQ(s.count, 7u);

    // A huge list count or string length fails at once, without a huge allocation.
    std::vector<uint8_t> hugeString = header(kFamily.magic, 1, 9, "x");
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F})
        hugeString.push_back(b);
    t.writeBytes(t.cachePath("hugeString", "ZVO"), hugeString);
    EXPECT_FALSE(load(s, "hugeString"));

    Sample small;
    small.entries = {{"only", 1.0f}};
    ASSERT_TRUE(save(small, "list"));
    std::vector<uint8_t> hugeList = t.readBytes(t.cachePath("list", "ZVO"));
    // The list count sits right before the single entry: a 4-byte name length 4, 4 words, a float.
    const size_t countAt = hugeList.size() - (4 + 4 * 4 + 4) - 4;
    hugeList[countAt] = 0xFF;
    hugeList[countAt + 1] = 0xFF;
    hugeList[countAt + 2] = 0xFF;
    hugeList[countAt + 3] = 0xFF;
    t.writeBytes(t.cachePath("hugeList", "ZVO"), hugeList);
    Sample listed;
    listed.entries = {{"mine", 5.0f}};
    EXPECT_FALSE(load(listed, "hugeList"));
    ASSERT_EQ(listed.entries.size(), 1u);
    EXPECT_EQ(listed.entries[0].name, "mine");
}

// Found by the file fuzz program: NaN and infinite or absurd reals (a rate, a time, a position)
// reached the world as they stood, and names of any length reached the engine. They are damage:
// the whole cache is refused, and the writer does not write what the reader would refuse.
TEST(DefinitionCache, NonFiniteOrAbsurdRealsAndOverlongNamesAreRefusedWhole)
{
    DefinitionTestTree t;
    Sample marked = filledSample();
    marked.pos.x = 4321.5f;
    marked.text.assign(BinaryReader::kMaxNameLength, 't');  // the longest name a cache keeps
    ASSERT_TRUE(save(marked, "marked"));
    const std::vector<uint8_t> good = t.readBytes(t.cachePath("marked", "ZVO"));
    Sample back;
    ASSERT_TRUE(load(back, "marked"));
    uint32_t word = 0;
    std::memcpy(&word, &marked.pos.x, 4);
    size_t at = 0;
    while (at + 4 <= good.size() && !(good[at] == (word & 0xFF) && good[at + 1] == ((word >> 8) & 0xFF) &&
                                      good[at + 2] == ((word >> 16) & 0xFF) && good[at + 3] == (word >> 24)))
        ++at;
    ASSERT_LT(at + 4, good.size());

    auto withReal = [&](float v) {
        std::vector<uint8_t> bytes = good;
        std::memcpy(bytes.data() + at, &v, 4);
        t.writeBytes(t.cachePath("real", "ZVO"), bytes);
        Sample s;
        const bool loaded = load(s, "real");
        EXPECT_EQ(s.text, loaded ? marked.text : std::string("default")) << v;
        return loaded;
    };
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity(), 1.0e30f, -2.0e6f})
        EXPECT_FALSE(withReal(bad)) << bad;
    EXPECT_TRUE(withReal(-kMaxDefinitionReal));

    Sample nan = filledSample();
    nan.wheel.y = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(save(nan, "refused"));
    Sample huge = filledSample();
    huge.pos.z = 1.0e30f;
    EXPECT_FALSE(save(huge, "refused"));
    Sample longName = filledSample();
    longName.sound.assign(BinaryReader::kMaxNameLength + 1, 's');
    EXPECT_FALSE(save(longName, "refused"));
}

TEST(DefinitionCache, MissingFileIsSilentAndKeepsTheDefaults)
{
    DefinitionTestTree t;
    Sample s;
    EXPECT_FALSE(load(s, "nothing"));
    EXPECT_EQ(s.text, "default");
}

TEST(DefinitionCache, WriterRefusesWhatTheReaderCouldNotTakeBack)
{
    DefinitionTestTree t;
    ASSERT_TRUE(save(filledSample(), "kept"));
    const std::vector<uint8_t> before = t.readBytes(t.cachePath("kept", "ZVO"));

    Sample tooMany = filledSample();
    tooMany.entries.resize(5);
    EXPECT_FALSE(save(tooMany, "kept"));
    Sample tooLong = filledSample();
    tooLong.text.assign(BinaryReader::kMaxStringLength + 1, 'x');
    EXPECT_FALSE(save(tooLong, "kept"));
    EXPECT_EQ(t.readBytes(t.cachePath("kept", "ZVO")), before);

    // A cache that cannot be created reports it.
    EXPECT_FALSE(save(filledSample(), "no/such/folder/x"));
}

TEST(IniSource, ReadsWithTheGameConventions)
{
    DefinitionTestTree t;
    t.writeSource("Data/GamePlay", "conv",
                  "[Data]\n"
                  "colon: 12.5\n"
                  "equals = \"quoted name\"\n"
                  "tab\t3\n"
                  "vector = 1 2 3\n"
                  "pair = 4 5\n"
                  "yes = true\n"
                  "negative = -4\n"
                  "[Other]\n"
                  "colon = 99\n"
                  "big = 5000\n");
    IniSource ini;
    ASSERT_TRUE(ini.load(definitionIniPath(definition_families::GameObject, "conv")));
    EXPECT_EQ(ini.real("Data", "colon"), 12.5f);
    EXPECT_EQ(ini.text("Data", "equals"), "quoted name");
    EXPECT_EQ(ini.uint("Data", "tab"), 3u);
    EXPECT_EQ(ini.vec3("Data", "vector"), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(ini.vec2("Data", "pair"), Ogre::Vector2(4, 5));
    EXPECT_TRUE(ini.flag("Data", "yes"));
    EXPECT_EQ(ini.integer("Data", "negative"), -4);
    EXPECT_EQ(ini.real("Other", "colon"), 99.0f);
    // Missing keys and sections read as nothing.
    EXPECT_EQ(ini.real("Data", "absent"), 0.0f);
    EXPECT_EQ(ini.text("Nowhere", "colon"), "");
    EXPECT_FALSE(ini.flag("Data", "absent"));
    EXPECT_EQ(ini.vec3("Data", "absent"), Ogre::Vector3::ZERO);
    EXPECT_TRUE(ini.ok());

    EXPECT_EQ(ini.count("Other", "big", 5000), 5000u);
    EXPECT_TRUE(ini.ok());
    EXPECT_EQ(ini.count("Other", "big", 4999), 0u);
    EXPECT_FALSE(ini.ok());

    IniSource missing;
    EXPECT_FALSE(missing.load("../../Data/GamePlay/none.ini"));
    EXPECT_EQ(indexedKey("Tread_", 12, "_Mesh"), "Tread_12_Mesh");
    EXPECT_EQ(indexedKey("SubObjData_", 1), "SubObjData_1");
}

namespace {
struct Named {
    std::string name;
    int id = 0;
    const std::string& getName() const { return name; }
};
}  // namespace

TEST(DefinitionSlots, GrowByOneAndFindTheLowestMatch)
{
    DefinitionSlots<Named> slots;
    EXPECT_EQ(slots.slotCount(), 5u);
    for (int i = 0; i < 5; ++i)
        slots.add(std::make_unique<Named>(Named{"n" + std::to_string(i), i}));
    EXPECT_EQ(slots.slotCount(), 5u);
    EXPECT_EQ(slots.findFreeSlot(), 5u);
    EXPECT_EQ(slots.slotCount(), 6u);
    EXPECT_TRUE(slots.slot(5).free);

    slots.add(std::make_unique<Named>(Named{"n1", 99}), 3);
    EXPECT_EQ(slots.slotCount(), 6u);
    EXPECT_EQ(slots.find("n1")->id, 1);
    EXPECT_EQ(slots.slot(5).def->id, 99);
    EXPECT_EQ(slots.slot(5).kind, 3u);
    EXPECT_EQ(slots.find("N1"), nullptr);
    EXPECT_FALSE(slots.contains("n"));

    slots.clear();
    EXPECT_EQ(slots.slotCount(), 6u);
    EXPECT_EQ(slots.find("n1"), nullptr);
    EXPECT_EQ(slots.findFreeSlot(), 0u);
}
