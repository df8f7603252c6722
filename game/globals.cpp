// The main module's globals. They live in the library so that tests can drive the game.
#include "game/vorska.h"
#include "entity/entity.h"

Screen *screen = nullptr;
Viewport *vp = nullptr;
Viewport *debug = nullptr;
Env *env = nullptr;
Entity *player = nullptr;
Uint16 gameover = 0;
Uint16 dbg = DBG_OVERLAY;

// The registry, the entity values and the behaviour table, in this order so that they are
// destroyed in the reverse one at exit.
EDList edlist;
std::vector<Entity> enlist;
EFTable ent_fun_table;

// The world list.
Entity *elist = nullptr;
int num_entities = 0;
