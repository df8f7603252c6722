// Shared set-up for the behaviour tests: a private working folder with its own
// data/entity.dat, a play-field with a camera, and a clean world list for every test.
#ifndef TESTS_TEST_EF_FIXTURE_H
#define TESTS_TEST_EF_FIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>
#include "entity/ef_def.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// Templates the behaviour tests act on; each second frame runs the behaviour under test.
// Bullets sort behind everything else in the world list, newest first.
static const char *EF_DEFS =
	"ENTITY Bullet NAME Bullet TYPE BULLET PRIORITY 5 DAMAGE 5 STATE FLY FRAME NONE DELAY 100 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Gunner NAME Gunner GROUP ENEMY XLEN 20 YLEN 10 STATE IDLE FRAME box.bmp DELAY 0 END_FRAME\n"
	" FRAME box.bmp DELAY 0 ENTER EF_FIRE_AIMED END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Target NAME Target GROUP GOOD STATE IDLE FRAME NONE DELAY 1000 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Dier NAME Dier STATE LIVE FRAME NONE DELAY 0 END_FRAME FRAME NONE DELAY 0 ENTER EF_DIE END_FRAME END_STATE END_ENTITY\n"
	"ENTITY ExitDier NAME ExitDier STATE LIVE FRAME NONE DELAY 0 EXIT EF_DIE END_FRAME\n"
	" FRAME NONE DELAY 0 ENTER EF_PLAYER_DIE END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Gen NAME Gen STATE LIVE FRAME NONE DELAY 0 END_FRAME FRAME NONE DELAY 0 ENTER EF_GEN END_FRAME END_STATE\n"
	" STATE DEATH FRAME NONE DELAY 50 ENTER EF_NOHIT END_FRAME FRAME NONE DELAY 50 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Player NAME Player GROUP GOOD LIFE 3 MAXLIFE 3 VAR LIVES 2 STATE LIVE FRAME NONE DELAY 1000 END_FRAME END_STATE\n"
	" STATE DEATH FRAME NONE DELAY 0 ENTER EF_PLAYER_DIE END_FRAME FRAME NONE DELAY 0 ENTER EF_PLAYER_GONE END_FRAME\n"
	"  FRAME NONE DELAY 0 ENTER EF_PLAYER_INVULN_ENTER EXIT EF_PLAYER_INVULN_EXIT END_FRAME NEXT_STATE LIVE END_STATE END_ENTITY\n"
	"ENTITY Mourner NAME Mourner DAMAGE 7\n"
	" STATE LIVE FRAME NONE DELAY 0 END_FRAME FRAME NONE DELAY 0 ENTER EF_PLAYER_GONE END_FRAME END_STATE END_ENTITY\n";

class EfTest : public ::testing::Test {
protected:
	TempDir dir;
	std::string home;
	Viewport view;
	Env field;

	void SetUp() override {
		ASSERT_NE(headlessVideo(), nullptr);
		buildEFlags();
		buildEFuncs();
		dir.write("data/entity.dat", EF_DEFS);
		writeBmp(dir, "box.bmp", 20, 10, 0, 0, 255);
		char buf[4096];
		ASSERT_NE(getcwd(buf, sizeof(buf)), nullptr);
		home = buf;
		ASSERT_EQ(chdir(dir.path.c_str()), 0);
		view.set(nullptr, 0, 0, 450, 600);
		field.vp = &view;
		env = &field;
		player = nullptr;
		gameover = 0;
		dbg = 0;
	}

	void TearDown() override {
		while (elist != nullptr) {
			remEn(&elist, elist);
		}
		reapEntities();
		freeEdListBitmaps(edlist);
		edlist.clear();
		env = nullptr;
		ASSERT_EQ(chdir(home.c_str()), 0);
	}

	// A linked entity of template id placed at (x, y).
	Entity *make(const char *id, int x, int y) {
		Entity *e = loadEntity("data/entity.dat", id, env);
		e->x = x;
		e->y = y;
		return e;
	}

	// The bullets of the world list in the order they were created.
	std::vector<Entity *> bullets() {
		std::vector<Entity *> out;
		for (Entity *e = elist; e != nullptr; e = e->next) {
			if (e->id == "Bullet") {
				out.insert(out.begin(), e);
			}
		}
		return out;
	}
};

#endif
