#pragma once
// The settings files as shipped (data/defaults), built into the game: a missing file is
// replaced by these, and an unusable one is read from them in memory.
const char* shippedConfigIni();
const char* shippedCtrlConfigIni();
