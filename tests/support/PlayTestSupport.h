#pragma once
// Things the play tests put into or find in a running play.
#include <OgreVector.h>

class GS_PlayOnly;
class Ovni;
class Projectile;

namespace testsupport {

class GameHarness;
struct Rgb;

// A pixel of the flash a destroyed Ovni goes out in: white to pale violet and blue (the living
// wisps' magenta has little green, the arena next to no blue).
bool ovniFlash(const Rgb& c);

// The play the harness runs, taken into its Playing phase (a mission info is confirmed with
// Return); the mouse is first moved to the corner, off every panel button. Null when there is no
// play or it did not get there.
GS_PlayOnly* playUntilPlaying(GameHarness& game);
// From the splash to the title as `profile`, then free play of the title's first mode into its
// Playing phase.
GS_PlayOnly* startFreePlay(GameHarness& game, const char* profile = "Pilot");

// From the splash to the title as "Pilot", then the first challenge of the first tier from the
// challenge list, its story passed with Return, into its Playing phase.
GS_PlayOnly* startFirstChallenge(GameHarness& game);

// A round of the player's in flight, shown and inside the window.
bool playerRoundInView(GameHarness& game, GS_PlayOnly* play);

// A slow rocket of the enemy team flying along +x from `from`; null when its definitions are
// missing. The new rocket itself, not another shot already in flight.
Projectile* launchRocket(GS_PlayOnly* play, const Ogre::Vector3& from);

// The first wisp of the play: an Ovni whose body bobs every tick and that flies about (the first
// mode starts with three Ovni, at most two of them monoliths).
Ovni* firstWisp(GS_PlayOnly* play);

}  // namespace testsupport
