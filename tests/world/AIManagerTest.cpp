// The AI manager: entries that grow by one and are reused, removal by object id, the update
// order, and the behaviour each AI kind gets.
#include "AITestWorld.h"

#include "world/AIManager.h"
#include "world/AIbeheiv_Ovni.h"
#include "world/AIbeheiviour.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

namespace {

class AIManagerTest : public ::testing::Test, public aitest::World {
protected:
    AIManager manager{damage.get(), &targets, &random, &difficulty, nullptr};
};

// Counts its updates in the order they come, by the object's id.
class RecordingBehaviour : public AIbeheiviour {
public:
    explicit RecordingBehaviour(std::vector<uint32_t>& log) : AIbeheiviour(nullptr, nullptr, nullptr, nullptr), log_(log) {}
    void update(float, GameObject* obj, AIdata*) override { log_.push_back(obj->getObjectId()); }

private:
    std::vector<uint32_t>& log_;
};

TEST_F(AIManagerTest, EntriesGrowByOneAndFreedOnesAreReusedFirst)
{
    ASSERT_EQ(manager.getEntryCount(), 1u);
    EXPECT_EQ(manager.getEntry(0).free, 1);

    aitest::StubObject& a = stub(1, 2, {0, 0, 0});
    aitest::StubObject& b = stub(2, 2, {5, 0, 0});
    aitest::StubObject& c = stub(3, 2, {10, 0, 0});
    ASSERT_TRUE(manager.addObject(&a));
    EXPECT_EQ(manager.getEntryCount(), 1u);
    const AIEntry& first = manager.getEntry(0);
    EXPECT_EQ(first.free, 0);
    EXPECT_EQ(first.active, 1u);
    EXPECT_EQ(first.object, &a);
    ASSERT_NE(first.data, nullptr);
    EXPECT_EQ(first.data->state, 0u);
    EXPECT_EQ(first.data->aiKind, 1u);
    ASSERT_TRUE(manager.addObject(&b));
    EXPECT_EQ(manager.getEntryCount(), 2u);
    ASSERT_TRUE(manager.addObject(&c));
    EXPECT_EQ(manager.getEntryCount(), 3u);

    // An id that no object carries changes nothing.
    manager.removeObject(77);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(manager.getEntry(i).free, 0) << i;

    manager.removeObject(2);
    const AIEntry& freed = manager.getEntry(1);
    EXPECT_EQ(freed.free, 1);
    EXPECT_EQ(freed.active, 0u);
    EXPECT_EQ(freed.object, nullptr);
    EXPECT_EQ(freed.data, nullptr);
    EXPECT_EQ(freed.behaviour, nullptr);
    EXPECT_EQ(manager.findData(&b), nullptr);

    // The lowest free entry is taken before the array grows.
    aitest::StubObject& d = stub(4, 2, {15, 0, 0});
    ASSERT_TRUE(manager.addObject(&d));
    EXPECT_EQ(manager.getEntryCount(), 3u);
    EXPECT_EQ(manager.getEntry(1).object, &d);
}

TEST_F(AIManagerTest, RemovalReleasesEveryEntryOfTheObject)
{
    aitest::StubObject& a = stub(1, 2, {0, 0, 0});
    aitest::StubObject& b = stub(2, 2, {5, 0, 0});
    ASSERT_TRUE(manager.addObject(&a));
    ASSERT_TRUE(manager.addObject(&b));
    ASSERT_TRUE(manager.addObject(&a));
    manager.removeObject(1);
    EXPECT_EQ(manager.getEntry(0).free, 1);
    EXPECT_EQ(manager.getEntry(1).object, &b);
    EXPECT_EQ(manager.getEntry(2).free, 1);
}

TEST_F(AIManagerTest, UpdateVisitsUsedEntriesInIndexOrder)
{
    std::vector<uint32_t> log;
    BehaviourPool& pool = *manager.getPool();
    pool.slot(7).owned = std::make_unique<RecordingBehaviour>(log);
    pool.slot(7).behaviour = pool.slot(7).owned.get();
    for (uint32_t id : {1u, 2u, 3u, 4u})
        ASSERT_TRUE(manager.addObject(&stub(id, 2, {float(id), 0, 0}, nullptr, 7)));
    manager.removeObject(2);
    const float dt = 0.1f;
    manager.updateAll(dt);
    EXPECT_EQ(log, (std::vector<uint32_t>{1, 3, 4}));
}

TEST_F(AIManagerTest, EachKindGetsItsBehaviour)
{
    BehaviourPool& pool = *manager.getPool();
    ASSERT_EQ(pool.getSlotCount(), 15u);
    struct Case {
        uint32_t kind;
        const std::type_info& type;
        uint32_t behaviourKind;
    };
    const Case cases[] = {
        {0, typeid(AIbeheiviour), 1},     {1, typeid(AIbeheiv_AirObj), 4}, {2, typeid(AIbeheiv_GrndObj), 2},
        {3, typeid(AIbeheiv_GrndVeh), 3}, {4, typeid(AIbeheiv_AirObj), 4}, {5, typeid(AIbeheiv_Ovni), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        AIbeheiviour* b = pool.getBehaviour(c.kind);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(typeid(*b), c.type);
        EXPECT_EQ(b->getKind(), c.behaviourKind);
    }
    for (uint32_t kind = 6; kind <= 14; ++kind) {
        SCOPED_TRACE(kind);
        AIbeheiviour* b = pool.getBehaviour(kind);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(typeid(*b), typeid(AIbeheiviour));
        EXPECT_EQ(b->getKind(), 1u);
    }

    // Objects of kinds 1 and 4 share one behaviour object; 0 and 6 to 14 each have their own.
    ASSERT_TRUE(manager.addObject(&stub(1, 2, {0, 0, 0}, nullptr, 1)));
    ASSERT_TRUE(manager.addObject(&stub(2, 2, {5, 0, 0}, nullptr, 4)));
    EXPECT_EQ(manager.getEntry(0).behaviour, manager.getEntry(1).behaviour);
    std::set<AIbeheiviour*> bases;
    for (uint32_t kind : {0u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u})
        bases.insert(pool.getBehaviour(kind));
    EXPECT_EQ(bases.size(), 10u);

    // A base behaviour does nothing: the record and the object stay as they were.
    aitest::StubObject& idle = stub(3, 2, {10, 0, 0}, nullptr, 9);
    stub(4, 3, {12, 0, 0});  // an enemy in range
    ASSERT_TRUE(manager.addObject(&idle));
    const float dt = 0.5f;
    for (int i = 0; i < 3; ++i)
        manager.updateAll(dt);
    const AIdata* rec = manager.findData(&idle);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->state, 0u);
    EXPECT_EQ(rec->hasTarget, 0);
    EXPECT_FALSE(idle.hasTarget());
    EXPECT_FALSE(idle.getTrigger());
    EXPECT_EQ(idle.aimCalls, 0);
}

TEST_F(AIManagerTest, AKindWithoutBehaviourIsRefused)
{
    aitest::StubObject& odd = stub(1, 2, {0, 0, 0}, nullptr, 15);
    EXPECT_FALSE(manager.addObject(&odd));
    EXPECT_FALSE(manager.addObject(nullptr));
    EXPECT_EQ(manager.getEntryCount(), 1u);
    EXPECT_EQ(manager.getEntry(0).free, 1);
}

}  // namespace
