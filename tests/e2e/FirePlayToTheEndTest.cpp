// Whole plays won and lost by fire alone, as a player plays them: keys drive the tank toward the
// nearest Ovni (or a pickup lying about), the pointer is kept on the nearest Ovni in view and the
// fire button is held while one is. Nothing is placed, damaged or booked by the test.
//
// Arcade runs to its end with the last life: kills, a pickup collected, the end panel and the
// local record list holding the score. The first challenge is cleared with its bronze score and
// the medal shows on the end panel and is kept in the stored progress. Both run at ten frames a
// second, where every frame is a long step for the turrets, the rounds and the drive.
#include "core/CampaignData.h"
#include "core/GamePlayData.h"
#include "core/GameSession.h"
#include "core/GameSettings.h"
#include "core/PlayerProfile.h"
#include "definitions/PickupParams.h"
#include "play/GS_PlayOnly.h"
#include "play/GameRulesManager.h"
#include "play/Priget_EndPlayMenu.h"
#include "play/Priget_GameHUD.h"
#include "play/RecordListManager.h"
#include "support/GameHarness.h"
#include "support/PlayTestSupport.h"
#include "world/GameObjectManager.h"
#include "world/GroundVehicle.h"
#include "world/Ovni.h"
#include "world/Pickup.h"
#include "world/PickupManager.h"

#include <MyGUI.h>
#include <Ogre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

using testsupport::GameHarness;
using testsupport::HarnessOptions;
using testsupport::Screenshot;

namespace {

constexpr float kFrame = 1.0f / 10.0f;

// Minutes of play kept cheap: ten frames a second, a small window and the world drawn without
// shadows (the lowest world quality a player can choose).
HarnessOptions tenFramesASecond()
{
    HarnessOptions options;
    options.frameTime = kFrame;
    options.width = 640;
    options.height = 480;
    options.adjustSettings = [](GameSettings& settings) { settings.WorldQuality = 3; };
    return options;
}

std::string caption(MyGUI::TextBox* text) { return text ? text->getCaption().asUTF8() : ""; }

// The scripted player. Each frame it reads where things are, as a player reads the screen, and
// answers with keys and the mouse only.
class Player {
public:
    Player(GameHarness& game, GS_PlayOnly* play) : game_(game), play_(play) {}

    // Input for the next frame.
    void decide()
    {
        GroundVehicle* tank = play_->playerVehicle();
        if (!tank || !(tank->getHP() > 0.0f)) {
            drive(false, false, false, false);
            trigger(false);
            return;
        }
        const Ogre::Vector3 at = tank->getMainNode()->_getDerivedPosition();
        target_ = nearestOvni(at);
        // A pickup lying about is fetched; otherwise the tank closes on the nearest Ovni and stops
        // at a gun's distance.
        Ogre::Vector3 goal = target_ ? target_->getMainNode()->_getDerivedPosition() : at;
        float keepOff = 20.0f;
        if (const Pickup* pickup = nearestPickup(at)) {
            goal = pickup->getRootNode()->_getDerivedPosition();
            keepOff = 0.0f;
        }
        steer(*tank, goal, keepOff);

        Ogre::Vector2 aim;
        if (target_ && onScreen(game_, target_, aim)) {
            game_.moveMouseTo(static_cast<int>(aim.x), static_cast<int>(aim.y));
            trigger(true);
        } else {
            trigger(false);
        }
    }

    // After the frame: pickups gone before their time near the tank were collected.
    void observe()
    {
        std::map<const Pickup*, Seen> now;
        for (uint32_t i = 0; i < play_->pickups->slotCount(); ++i)
            if (const Pickup* p = play_->pickups->pickupInSlot(i))
                now[p] = {p->getAge(), p->getParams() ? p->getParams()->TimeLive : 0.0f};
        for (const auto& [pickup, seen] : pickups_)
            if (!now.count(pickup) && (seen.lifetime <= 0.0f || seen.age + 2.0f * kFrame < seen.lifetime))
                ++collected_;
        pickups_ = now;
    }

    // Where the Ovni's body shows in the window; false when it does not.
    static bool onScreen(GameHarness& game, const Ovni* ovni, Ogre::Vector2& where)
    {
        Ogre::Camera* camera = game.window()->getViewport(0)->getCamera();
        const Ogre::Vector3 centre = ovni->getCollisionEntity()->getWorldBoundingBox(true).getCenter();
        const int w = static_cast<int>(game.window()->getWidth()), h = static_cast<int>(game.window()->getHeight());
        where = testsupport::toScreen(camera, centre, w, h);
        return camera->isVisible(centre) && where.x > 0 && where.y > 0 && where.x < w && where.y < h;
    }

    int collected() const { return collected_; }

    void letGo()
    {
        drive(false, false, false, false);
        trigger(false);
    }

private:
    struct Seen {
        float age = 0.0f, lifetime = 0.0f;
    };

    Ovni* nearestOvni(const Ogre::Vector3& at) const
    {
        Ovni* best = nullptr;
        float bestDistance = 1e9f;
        for (const GameObjectManager::Slot& slot : play_->objects->slots())
            if (auto* o = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object))
                if (o->getHP() > 0.0f) {
                    const float d = o->getMainNode()->_getDerivedPosition().distance(at);
                    if (d < bestDistance)
                        bestDistance = d, best = o;
                }
        return best;
    }

    const Pickup* nearestPickup(const Ogre::Vector3& at) const
    {
        const Pickup* best = nullptr;
        float bestDistance = 1e9f;
        for (uint32_t i = 0; i < play_->pickups->slotCount(); ++i)
            if (const Pickup* p = play_->pickups->pickupInSlot(i)) {
                const float d = p->getRootNode()->_getDerivedPosition().distance(at);
                if (d < bestDistance)
                    bestDistance = d, best = p;
            }
        return best;
    }

    // Turn toward the goal, drive on while it is far and roughly ahead, brake near it; back off
    // turning when the tank has stood still against something for a second.
    void steer(const GroundVehicle& tank, const Ogre::Vector3& goal, float keepOff)
    {
        const Ogre::Vector3 at = tank.getMainNode()->_getDerivedPosition();
        Ogre::Vector3 heading = tank.getMainNode()->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        Ogre::Vector3 toGoal = goal - at;
        heading.y = toGoal.y = 0.0f;
        const float distance = toGoal.length();
        const float angle = Ogre::Math::ATan2(heading.crossProduct(toGoal).y, heading.dotProduct(toGoal)).valueDegrees();
        if (backing_ > 0.0f) {
            backing_ -= kFrame;
            drive(false, true, false, true);
            return;
        }
        const bool onward = distance > keepOff + 8.0f && std::fabs(angle) < 70.0f;
        const bool brake = !onward && distance < keepOff + 8.0f && tank.getSpeed() > 3.0f;
        drive(onward, brake, angle > 8.0f, angle < -8.0f);
        stuck_ = onward && std::fabs(tank.getSpeed()) < 1.0f ? stuck_ + kFrame : 0.0f;
        if (stuck_ > 1.0f) {
            backing_ = 1.0f;
            stuck_ = 0.0f;
        }
    }


    void key(OIS::KeyCode code, bool down)
    {
        if (down && !game_.keyboard().isKeyDown(code))
            game_.press(code);
        else if (!down)
            game_.release(code);
    }

    void drive(bool forward, bool back, bool left, bool right)
    {
        key(OIS::KC_W, forward);
        key(OIS::KC_S, back);
        key(OIS::KC_A, left);
        key(OIS::KC_D, right);
    }

    void trigger(bool down)
    {
        if (down && !firing_)
            game_.mouseDown();
        else if (!down && firing_)
            game_.mouseUp();
        firing_ = down;
    }

    GameHarness& game_;
    GS_PlayOnly* play_;
    Ovni* target_ = nullptr;
    bool firing_ = false;
    float stuck_ = 0.0f, backing_ = 0.0f;
    std::map<const Pickup*, Seen> pickups_;
    int collected_ = 0;
};

struct PlayLog {
    bool roundSeen = false;
    bool killSeen = false;
    float seconds = 0.0f;
};

// Plays until the play phase leaves Playing or `limit` seconds of play have passed. Screenshots
// of the first round in flight and of the first kill (the flash where the Ovni was) are kept as
// `name`_round and `name`_kill.
PlayLog playByFire(GameHarness& game, GS_PlayOnly* play, Player& player, float limit, const std::string& name)
{
    PlayLog log;
    // Every Ovni in view after the last frame, where it showed.
    std::map<const Ovni*, Ogre::Vector2> inView;
    while (play->playData->playPhase == PLAYPHASE_PLAYING && log.seconds < limit) {
        player.decide();
        if (!game.frame())
            break;
        log.seconds += kFrame;
        player.observe();
        if (!log.roundSeen && testsupport::playerRoundInView(game, play)) {
            log.roundSeen = true;
            testsupport::keepShot(game.screenshot(), name + "_round");
        }
        std::map<const Ovni*, Ogre::Vector2> now;
        for (const GameObjectManager::Slot& slot : play->objects->slots())
            if (auto* o = slot.free ? nullptr : dynamic_cast<Ovni*>(slot.object)) {
                Ogre::Vector2 at;
                if (Player::onScreen(game, o, at))
                    now[o] = at;
            }
        if (!log.killSeen && play->playData->totalKills() > 0)
            for (const auto& [ovni, at] : inView)
                if (!now.count(ovni)) {
                    bool stillThere = false;
                    for (const GameObjectManager::Slot& slot : play->objects->slots())
                        stillThere = stillThere || (!slot.free && slot.object == ovni);
                    if (stillThere)
                        continue;  // flew out of view
                    // The flash at its brightest over the next three frames.
                    int flash = 0;
                    for (int i = 0; i < 3; ++i) {
                        game.frame();
                        log.seconds += kFrame;
                        const Screenshot kill = game.screenshot();
                        const int count = kill.countAround(static_cast<int>(at.x), static_cast<int>(at.y), 50,
                                                           testsupport::ovniFlash);
                        if (count > flash || i == 0)
                            testsupport::keepShot(kill, name + "_kill");
                        flash = std::max(flash, count);
                    }
                    EXPECT_GT(flash, 10) << "no flash where the Ovni was, at " << at.x << "," << at.y;
                    log.killSeen = true;
                    break;
                }
        inView = now;
    }
    player.letGo();
    return log;
}

int hudKills(GS_PlayOnly* play) { return std::atoi(caption(play->rules->hud->killsRow.value).c_str()); }

TEST(FirePlayToTheEnd, ArcadeEndsWithTheLastLifeAndRecordsTheScore)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game(tenFramesASecond());
    GS_PlayOnly* play = testsupport::startFreePlay(game);
    ASSERT_NE(play, nullptr);
    ASSERT_EQ(game.session()->getLevelName(), "ArcadeMode");
    GamePlayData* d = play->playData;
    const uint32_t lives = d->NumLives;
    ASSERT_GT(lives, 0u);

    // A few minutes of play by an active player: the Ovni fight back and take every life.
    Player player(game, play);
    const PlayLog log = playByFire(game, play, player, 720.0f, "arcade_end");
    ASSERT_EQ(d->playPhase, PLAYPHASE_CLEARED) << "Arcade still running after " << log.seconds << " s, "
                                               << d->NumLives << " lives left, " << d->totalKills() << " kills, HP "
                                               << play->playerVehicle()->getHP() << " at "
                                               << play->playerVehicle()->getMainNode()->getPosition();
    EXPECT_EQ(d->NumLives, 0u);
    EXPECT_TRUE(log.roundSeen);
    EXPECT_TRUE(log.killSeen);
    EXPECT_GE(d->totalKills(), 5u);
    EXPECT_EQ(hudKills(play), static_cast<int>(d->totalKills()));
    EXPECT_GE(player.collected(), 1) << "no pickup collected in " << log.seconds << " s";
    const float score = d->getMechaValue(0);
    EXPECT_GE(score, 100.0f * d->totalKills());

    // The end panel over the end camera, with the local record list holding the score in the
    // player's (orange) row.
    ASSERT_TRUE(game.runUntil([&] { return play->endStage == 3; }, 300));
    game.runFrames(15);  // the panel fades in
    ASSERT_TRUE(play->endMenu->menuPanel->getVisible());
    RecordListManager* list = play->recordList;
    ASSERT_TRUE(list->panel->getVisible());
    EXPECT_TRUE(list->localOnShow());
    const MyGUI::Colour orange(1.0f, 0.5f, 0.0f, 1.0f);
    bool listed = false;
    for (const RecordRow& row : list->listRows)
        if (caption(row.name) == "Pilot" && row.name->getTextColour() == orange) {
            listed = true;
            EXPECT_EQ(std::atof(caption(row.value).c_str()), score) << caption(row.value);
        }
    EXPECT_TRUE(listed) << "the score is not in the local list";
    testsupport::keepShot(game.screenshot(), "arcade_end_panel");
}

TEST(FirePlayToTheEnd, FirstChallengeClearedWithItsBronzeScoreEarnsTheMedal)
{
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    GameHarness game(tenFramesASecond());
    GS_PlayOnly* play = testsupport::startFirstChallenge(game);
    ASSERT_NE(play, nullptr);
    ASSERT_EQ(game.session()->getLevelName(), "Ch1_FirstContact");
    CampaignData* campaign = game.session()->campaign;
    ASSERT_NE(campaign, nullptr);
    const ChallengeDef* challenge = campaign->getChallenge(0, 0);
    ASSERT_NE(challenge, nullptr);
    ASSERT_EQ(challenge->bronze + challenge->silver + challenge->gold, 0u);

    // As a player would, a failed try is retried from the end panel (Retry is highlighted first);
    // a lost try records nothing.
    GamePlayData* d = nullptr;
    for (int attempt = 1;; ++attempt) {
        Player player(game, play);
        const PlayLog log = playByFire(game, play, player, 200.0f, "challenge_medal");
        d = play->playData;
        ASSERT_NE(d->playPhase, PLAYPHASE_PLAYING) << "after " << log.seconds << " s";
        ASSERT_TRUE(game.runUntil([&] { return play->endStage == 3; }, 300));
        game.runFrames(15);
        if (d->playPhase == PLAYPHASE_CLEARED)
            break;
        EXPECT_EQ(challenge->timesFinished, 0u);
        ASSERT_LT(attempt, 3) << "three tries lost; the last scored " << d->getMechaValue(0);
        ASSERT_EQ(game.session()->selectedIndex, 0u);
        game.tapKey(OIS::KC_RETURN);
        ASSERT_TRUE(game.runUntil(
            [&] {
                const auto* next = game.stateAs<GS_PlayOnly>();
                return next && next->endStage == 0;
            },
            100));
        play = testsupport::playUntilPlaying(game);
        ASSERT_NE(play, nullptr);
    }
    const float score = d->getMechaValue(0);
    EXPECT_GE(score, challenge->bronzeThreshold);
    EXPECT_EQ(play->medalWon, 1);
    Priget_EndPlayMenu* panel = play->endMenu;
    ASSERT_TRUE(panel->resultBox->getVisible());
    EXPECT_EQ(std::atof(caption(panel->resultValue).c_str()), score) << caption(panel->resultValue);
    testsupport::keepShot(game.screenshot(), "challenge_medal_end_panel");

    // The medal is in the progress file: a fresh catalogue reads it back.
    EXPECT_GE(challenge->bronze + challenge->silver + challenge->gold, 1u);
    CampaignData stored(campaign->getCampaignName(), game.session()->profileName,
                        game.session()->profile->getLanguageCount());
    ASSERT_TRUE(stored.loadProgress());
    const ChallengeDef* kept = stored.getChallenge(0, 0);
    ASSERT_NE(kept, nullptr);
    EXPECT_GE(kept->bronze + kept->silver + kept->gold, 1u);
    EXPECT_EQ(kept->timesFinished, 1u);
    EXPECT_EQ(kept->best, score);
}

}  // namespace
