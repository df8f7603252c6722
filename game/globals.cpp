// The main module's own globals: the two viewports. The state it shares with the entity
// runtime lives in entity/gamestate.cpp.
#include "game/vorska.h"

Viewport *vp = nullptr;
Viewport *debug = nullptr;
