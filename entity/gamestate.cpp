// The state the entity runtime shares with the main module. The main module sets it up and
// drives it; it is defined here, below the main module, so that the entity runtime, the tools
// and the tests link without the game's own code.
#include "entity/gamestate.h"
#include "entity/entity.h"

Screen *screen = nullptr;
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
