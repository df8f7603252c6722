// A small game world for tests of the rules.
#include "tests/support/gameworld.h"
#include "entity/report.h"

#include <unistd.h>
#include <climits>
#include "entity/ef_def.h"

const char *kTestEntities =
	"ENTITY Player NAME Player GROUP PLAYER TYPE SHIP IGNORE SHOT WIDTH 20 HEIGHT 30 LIFE 1 MAXLIFE 1 DAMAGE 1\n"
	"  VAR LIVES 2 PRIORITY 5\n"
	"  STATE FLY FRAME NONE DELAY 5 END_FRAME END_STATE\n"
	"  STATE DEATH FRAME NONE DELAY 3 ENTER EF_PLAYER_DIE END_FRAME FRAME NONE ENTER EF_PLAYER_GONE END_FRAME\n"
	"    NEXT_STATE BACK END_STATE\n"
	"  STATE BACK FRAME NONE DELAY 10 ENTER EF_PLAYER_INVULN_ENTER EXIT EF_PLAYER_INVULN_EXIT END_FRAME NEXT_STATE FLY END_STATE\n"
	"END_ENTITY\n"
	"ENTITY Tank NAME Tank GROUP ENEMY TYPE VEHICLE IGNORE VEHICLE IGNORE BULLET WIDTH 32 HEIGHT 32 LIFE 3 MAXLIFE 3 DAMAGE 1\n"
	"  STATE ROLL FRAME NONE DELAY 40 END_FRAME END_STATE\n"
	"  STATE DEATH FRAME NONE DELAY 2 ENTER EF_NOHIT END_FRAME FRAME NONE ENTER EF_DIE END_FRAME END_STATE\n"
	"END_ENTITY\n"
	"ENTITY Helicopter NAME Helicopter GROUP ENEMY TYPE VEHICLE IGNORE VEHICLE IGNORE BULLET WIDTH 64 HEIGHT 64 LIFE 20\n"
	"  STATE FLY FRAME NONE DELAY 40 END_FRAME END_STATE\n"
	"  STATE DEATH FRAME NONE ENTER EF_DIE END_FRAME END_STATE\n"
	"END_ENTITY\n"
	"ENTITY Shot NAME Shot GROUP PLAYER TYPE SHOT IGNORE SHOT IGNORE SHIP WIDTH 4 HEIGHT 12 DAMAGE 1 PRIORITY 3\n"
	"  FLAG ENT_DIE_OOB_VPT FLAG ENT_MOV_OOB_ENV\n"
	"  STATE FLY FRAME NONE END_FRAME END_STATE\n"
	"  STATE DEATH FRAME NONE ENTER EF_DIE END_FRAME END_STATE\n"
	"END_ENTITY\n"
	"ENTITY Bullet NAME Bullet GROUP ENEMY TYPE BULLET IGNORE BULLET IGNORE VEHICLE WIDTH 6 HEIGHT 6 DAMAGE 1 PRIORITY 4\n"
	"  FLAG ENT_DIE_OOB_VPT FLAG ENT_MOV_OOB_ENV\n"
	"  STATE FLY FRAME NONE END_FRAME END_STATE\n"
	"  STATE DEATH FRAME NONE ENTER EF_DIE END_FRAME END_STATE\n"
	"END_ENTITY\n";

// Removes every entity and template.
void clearWorld() {
	while (elist != nullptr) {
		remEn(&elist, elist);
	}
	reapEntities();
	freeEdListBitmaps(edlist);
	edlist.clear();
	num_entities = 0;
	player = nullptr;
	forgetReports();
}

// Builds the world in a temporary folder.
GameWorld::GameWorld(const std::string &entityDat, int fieldW, int fieldH) {
	char buf[PATH_MAX];
	oldcwd = getcwd(buf, sizeof(buf)) ? buf : ".";
	dir.write("data/entity.dat", entityDat);
	if (chdir(dir.path.c_str()) != 0) {
		return;
	}
	headlessVideo();
	clearWorld();
	if (vp == nullptr) {
		vp = new Viewport();
	}
	vp->set(screen, 175, 0, 450, 600);
	if (debug == nullptr) {
		debug = new Viewport();
	}
	debug->set(screen, 0, 0, 140, 160);
	if (env == nullptr) {
		env = new Env();
	}
	env->free();
	env->init();
	env->set(vp);
	env->xlen = fieldW;
	env->ylen = fieldH;
	buildEFlags();
	buildEFuncs();
	gameover = 0;
	dbg = 4;
	for (int k = 0; k < NUM_KEYS; k++) {
		keyboard[k] = 0;
		keys[k] = 0;
		prev[k] = 0;
	}
	keyp = keyboard;
	mod = KMOD_NONE;
	cycles = 0;
}

// Leaves the folder and empties the world.
GameWorld::~GameWorld() {
	clearWorld();
	keyp = nullptr;
	if (chdir(oldcwd.c_str()) != 0) {
	}
}

// One pass of the main loop with one game cycle due.
int GameWorld::cycle(Font *f) {
	cycles = 1;
	return loopPass(f != nullptr ? f : &font);
}
