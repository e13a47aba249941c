// The record list on real widgets with scripted devices (run under Xvfb).
#include "play/RecordListManager.h"

#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "play/RecordTable.h"
#include "support/PanelTestBed.h"

#include <MyGUI.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using testsupport::Rgb;
using testsupport::toRgb;

namespace {

const MyGUI::Colour kOrange(1.0f, 0.5f, 0.0f, 1.0f);

class RecordListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameSession* s = bed.session();
        s->setProfileName("Tester");
        s->recreateProfile();
        ASSERT_GT(s->profile->getModeCount(), 0u);
        // Place i + 1 holds "P<i+1>" with 1000 - i.
        for (uint32_t i = 0; i < RecordTable::capacity; ++i)
            table.localEntries[i] = RecordEntry{i + 1, 1000.0f - i, "P" + std::to_string(i + 1), ""};
        list = std::make_unique<RecordListManager>(bed.gui(), &table, s);
    }

    void frame(float dt = 1.0f / 60.0f)
    {
        bed.capture();
        list->update(dt, &bed.keyboard(), &bed.joystick());
    }

    std::string caption(MyGUI::TextBox* t) const { return t->getCaption().asUTF8(); }

    // The list rows on show, with the number of the orange row (0 when none).
    struct Shown {
        std::vector<std::string> numbers;
        std::string highlighted;
    };
    Shown shownRows() const
    {
        Shown shown;
        for (const RecordRow& row : list->listRows) {
            if (!row.number->getVisible())
                continue;
            shown.numbers.push_back(row.number->getCaption().asUTF8());
            if (row.number->getTextColour() == kOrange) {
                EXPECT_EQ(row.name->getTextColour(), kOrange);
                EXPECT_EQ(row.value->getTextColour(), kOrange);
                shown.highlighted = row.number->getCaption().asUTF8();
            }
        }
        return shown;
    }

    void keep(const char* name)
    {
        const std::string folder = testsupport::gameTreeDir() + "/../look";
        std::filesystem::create_directories(folder);
        bed.screenshot().savePng(folder + "/" + name);
    }

    testsupport::PanelTestBed bed;
    RecordTable table{nullptr, "Data1.dat"};
    std::unique_ptr<RecordListManager> list;
};

std::vector<std::string> numbersFrom(int first, int count)
{
    std::vector<std::string> v;
    for (int i = 0; i < count; ++i)
        v.push_back(std::to_string(first + i));
    return v;
}

TEST_F(RecordListTest, LocalTableWindowsAroundThePlayersPlace)
{
    struct Case {
        uint32_t place1;
        bool topBox;
        int firstShown;
        int rowsShown;
        const char* highlighted;
    };
    const Case cases[] = {
        {1, false, 1, 10, "1"},   {5, false, 1, 10, "5"},    {6, true, 1, 7, "6"},
        {40, true, 36, 7, "40"},  {95, true, 91, 7, "95"},   {96, true, 90, 7, "96"},
        {101, true, 90, 7, ""},
        // Rows the top box would hide: the window follows the player.
        {8, true, 2, 7, "8"},     {10, true, 4, 7, "10"},    {100, true, 94, 7, "100"},
    };
    EXPECT_FALSE(list->panel->getVisible());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place1);
        list->showLocal(c.place1, 0);
        EXPECT_TRUE(list->panel->getVisible());
        EXPECT_FALSE(list->connectingBox->getVisible());
        EXPECT_EQ(list->topBox->getVisible(), c.topBox);
        EXPECT_EQ(list->listBox->getTop(), c.topBox ? 105 : 0);
        const Shown shown = shownRows();
        EXPECT_EQ(shown.numbers, numbersFrom(c.firstShown, c.rowsShown));
        EXPECT_EQ(shown.highlighted, c.highlighted);
        const RecordRow& first = list->listRows[0];
        EXPECT_EQ(caption(first.name), "P" + std::to_string(c.firstShown));
        EXPECT_EQ(caption(first.value), std::to_string(1000 - (c.firstShown - 1)));
        if (c.topBox) {
            EXPECT_EQ(caption(list->topRows[0].name), "P1");
            EXPECT_EQ(caption(list->topRows[2].number), "3");
            EXPECT_EQ(caption(list->topRows[2].value), "998");
        }
    }
}

TEST_F(RecordListTest, TimesAreWrittenAsMinutesSecondsAndMilliseconds)
{
    table.localEntries[0].value = 62.005f;
    table.localEntries[1].value = 75.5f;
    list->showLocal(1, 1);
    EXPECT_EQ(caption(list->listRows[0].value), "01'02.005");
    EXPECT_EQ(caption(list->listRows[1].value), "01'15.500");
    EXPECT_EQ(RecordListManager::formatRowTime(62.005f), "01'02.005");
    EXPECT_EQ(RecordListManager::formatRowTime(-1.0f), "00'00.000");
}

TEST_F(RecordListTest, TabHeldSwitchesOnceAndAgainOnlyAfterARelease)
{
    list->showLocal(3, 0);
    bed.keyboard().press(OIS::KC_TAB);
    frame();
    // Held since before the list showed: the latch from construction holds it.
    EXPECT_TRUE(list->localOnShow());
    bed.keyboard().release(OIS::KC_TAB);
    frame();

    bed.keyboard().press(OIS::KC_TAB);
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_FALSE(list->localOnShow());
    EXPECT_TRUE(list->localButton->getEnabled());
    EXPECT_FALSE(list->worldButton->getEnabled());
    // No reply yet: the connecting box, no rows.
    EXPECT_TRUE(list->connectingBox->getVisible());
    EXPECT_FALSE(list->listBox->getVisible());

    bed.keyboard().release(OIS::KC_TAB);
    frame();
    bed.keyboard().press(OIS::KC_TAB);
    frame();
    EXPECT_TRUE(list->localOnShow());
    EXPECT_FALSE(list->connectingBox->getVisible());
    EXPECT_EQ(shownRows().highlighted, "3");
    bed.keyboard().release(OIS::KC_TAB);
    frame();

    // The pad's button 3 switches only while the pad is enabled.
    bed.joystick().setButton(3, true);
    frame();
    EXPECT_TRUE(list->localOnShow());
    bed.session()->gamepadEnabled = 1;
    frame();
    EXPECT_FALSE(list->localOnShow());
    bed.joystick().setButton(3, false);
    frame();

    // Challenge play never switches.
    bed.session()->challengeMode = 1;
    bed.keyboard().press(OIS::KC_TAB);
    frame();
    EXPECT_FALSE(list->localOnShow());
}

TEST_F(RecordListTest, TheReplyIsTakenOnceAndShownWithTheWorldBest)
{
    GameSession* s = bed.session();
    s->selectedMode = 0;
    list->showLocal(12, 0);
    list->selectWorld();
    EXPECT_TRUE(list->connectingBox->getVisible());
    frame();
    keep("record_list_connecting.png");

    s->setScoreReply("1-1-Ana-5000-2-Bo-4000-3-Cy-3000-0-40-Dee-100-1-41-Ed-90-0-42-Flo-80-");
    s->scoreReplyReady = 1;
    frame();
    EXPECT_EQ(s->scoreReplyReady, 0);
    EXPECT_EQ(list->worldReceived, 1);
    EXPECT_FALSE(list->connectingBox->getVisible());
    EXPECT_TRUE(list->topBox->getVisible());
    EXPECT_EQ(caption(list->topRows[0].name), "Ana");
    EXPECT_EQ(caption(list->topRows[1].value), "4000");
    const Shown shown = shownRows();
    EXPECT_EQ(shown.highlighted, "41");
    EXPECT_EQ(caption(list->listRows[2].name), "Flo");
    EXPECT_EQ(caption(list->listRows[3].number), "43");  // continued ranks
    EXPECT_EQ(s->profile->getMode(0)->progress3, 5000.0f);
    keep("record_list_world.png");

    // A later reply stays in the session untouched.
    s->setScoreReply("0-1-1-Zed-1-");
    s->scoreReplyReady = 1;
    frame();
    EXPECT_EQ(s->scoreReplyReady, 1);
    EXPECT_EQ(caption(list->topRows[0].name), "Ana");
    EXPECT_EQ(table.getWorldNearName(0), "Dee");

    // Without the top three the world best is the first near row's value.
    list->worldReceived = 0;
    frame();
    EXPECT_FALSE(list->topBox->getVisible());
    EXPECT_EQ(shownRows().numbers.size(), 10u);
    EXPECT_EQ(shownRows().highlighted, "1");
    EXPECT_EQ(s->profile->getMode(0)->progress3, 1.0f);
}

TEST_F(RecordListTest, TheButtonOfTheOtherTableBlinksOnceThereIsSomethingToSee)
{
    list->showLocal(3, 0);
    frame();
    frame();
    // Local on show, no reply: nothing blinks.
    EXPECT_EQ(list->worldButton->getAlpha(), 1.0f);

    bed.session()->setScoreReply("0-");
    bed.session()->scoreReplyReady = 1;
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 30; ++i) {
        frame();
        lowest = std::min(lowest, list->worldButton->getAlpha());
        highest = std::max(highest, list->worldButton->getAlpha());
    }
    EXPECT_LT(lowest, 0.4f);
    EXPECT_GT(highest, 0.8f);
    EXPECT_GE(lowest, 0.2f - 1e-5f);
    EXPECT_EQ(list->localButton->getAlpha(), 1.0f);

    list->selectWorld();
    EXPECT_EQ(list->worldButton->getAlpha(), 1.0f);
    lowest = 1.0f;
    for (int i = 0; i < 30; ++i) {
        frame();
        lowest = std::min(lowest, list->localButton->getAlpha());
    }
    EXPECT_LT(lowest, 0.4f);
}

TEST_F(RecordListTest, LooksLikeAListBesideTheScreen)
{
    list->showLocal(40, 0);
    frame();
    const testsupport::Screenshot shot = bed.screenshot();
    keep("record_list_local.png");
    // The panel stands right of centre: view width - 488, 388 wide.
    const MyGUI::IntCoord p = list->panel->getAbsoluteCoord();
    EXPECT_EQ(p.left, 1024 - 488);
    EXPECT_EQ(p.top, (768 - 430) / 3);
    // The player's row shows orange text; other rows white or grey text; nothing left of the panel.
    const MyGUI::IntCoord row = list->listRows[4].name->getAbsoluteCoord();
    EXPECT_GT(shot.countNear(toRgb(kOrange), row.left, row.top, 100, 24, 40), 10);
    const MyGUI::IntCoord other = list->listRows[3].name->getAbsoluteCoord();
    EXPECT_EQ(shot.countNear(toRgb(kOrange), other.left, other.top, 100, 24, 40), 0);
    EXPECT_GT(shot.countNear(Rgb{191, 191, 191}, other.left, other.top, 100, 24, 30), 10);
    EXPECT_EQ(shot.countNear(Rgb{255, 255, 255}, 0, 0, p.left - 10, 768, 30), 0);
}

}  // namespace

TEST_F(RecordListTest, TheConnectingBoxSaysTheWorldTableIsUnavailableOnceTheClientGaveUp)
{
    GameSession* s = bed.session();
    s->settings->Language = 0;
    list.reset();
    list = std::make_unique<RecordListManager>(bed.gui(), &table, s);
    list->showLocal(3, 0);
    list->selectWorld();
    frame();
    const std::string connecting = caption(list->connectingText);
    EXPECT_NE(connecting.find("....."), std::string::npos) << connecting;

    s->scoreUnavailable = 1;
    frame();
    EXPECT_TRUE(list->connectingBox->getVisible());
    EXPECT_EQ(caption(list->connectingText), RecordListManager::kWorldUnavailableCaption);
    keep("record_list_unavailable.png");

    // A new query of this play: waiting again; its answer replaces the box.
    s->scoreUnavailable = 0;
    frame();
    EXPECT_EQ(caption(list->connectingText), connecting);
    s->setScoreReply("0-");
    s->scoreReplyReady = 1;
    s->scoreUnavailable = 1;
    frame();
    EXPECT_FALSE(list->connectingBox->getVisible());
    EXPECT_EQ(caption(list->connectingText), connecting);

    // In the second language of the tables the box says it in that language.
    s->settings->Language = 1;
    list.reset();
    list = std::make_unique<RecordListManager>(bed.gui(), &table, s);
    list->showLocal(3, 0);
    list->selectWorld();
    s->scoreReplyReady = 0;
    s->scoreUnavailable = 1;
    frame();
    EXPECT_EQ(caption(list->connectingText), "Sin tabla mundial");
}
