// The little of the game's state that behaviours and drawing need; the main module sets it up.
#ifndef ENTITY_GAMESTATE_H
#define ENTITY_GAMESTATE_H
#include <SDL.h>
#include "display/env.h"
#include "display/screen.h"

class Entity;

// The definition file every template is read from.
#define ENTITY_FILE "data/entity.dat"

// The templates the game itself asks for.
#define PLAYER_ID     "Player"
#define TANK_ID       "Tank"
#define HELICOPTER_ID "Helicopter"
#define SHOT_ID       "Shot"
#define BULLET_ID     "Bullet"

extern Screen *screen;   // the video surface wrapper
extern Env *env;         // the play-field
extern Entity *player;   // the player entity, owned by the world list
extern Uint16 gameover;  // non-zero ends the main loop
extern Uint16 dbg;       // DBG_* bits

// Bits of dbg.
#define DBG_HIT_BOXES   1       // hit boxes in red
#define DBG_FRAME_BOXES 2       // picture boxes in grey
#define DBG_OVERLAY     4       // the overlay in the top-left corner
#define DBG_TOGGLED     8       // marker: the debug view was toggled this cycle
#define DBG_DIE_SEEN    16      // marker: EF_DIE has run
#define DBG_ALL         0xFFEF  // what the debug toggle turns on: all but the EF_DIE marker

#endif
