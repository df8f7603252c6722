// Entities one rule at a time: the world list against a model, animation, collisions and
// damage, bounds and motion, spawn lists, the behaviours and firing patterns, and the dumps.
// Tests build templates in memory (with logging behaviours) or read them from kDefs.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include "entity/ef_def.h"
#include "tests/support/testsupport.h"

namespace {

// Templates the behaviour tests act on; the Gunner's second frame fires an aimed shot.
const char *kDefs =
	"ENTITY Bullet NAME Bullet TYPE BULLET PRIORITY 5 DAMAGE 5 STATE FLY FRAME NONE DELAY 100 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Gunner NAME Gunner GROUP ENEMY XLEN 20 YLEN 10 STATE IDLE FRAME box.bmp DELAY 0 END_FRAME\n"
	" FRAME box.bmp DELAY 0 ENTER EF_FIRE_AIMED END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Target NAME Target GROUP GOOD STATE IDLE FRAME NONE DELAY 1000 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY ExitDier NAME ExitDier STATE LIVE FRAME NONE DELAY 0 EXIT EF_DIE END_FRAME\n"
	" FRAME NONE DELAY 0 ENTER EF_PLAYER_DIE END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Gen NAME Gen STATE LIVE FRAME NONE DELAY 0 END_FRAME FRAME NONE DELAY 0 ENTER EF_GEN END_FRAME END_STATE\n"
	" STATE DEATH FRAME NONE DELAY 50 ENTER EF_NOHIT END_FRAME FRAME NONE DELAY 50 END_FRAME END_STATE END_ENTITY\n"
	"ENTITY Player NAME Player GROUP GOOD LIFE 3 MAXLIFE 3 VAR LIVES 2 STATE LIVE FRAME NONE DELAY 1000 END_FRAME END_STATE\n"
	" STATE DEATH FRAME NONE DELAY 0 ENTER EF_PLAYER_DIE END_FRAME FRAME NONE DELAY 0 ENTER EF_PLAYER_GONE END_FRAME\n"
	"  FRAME NONE DELAY 0 ENTER EF_PLAYER_INVULN_ENTER EXIT EF_PLAYER_INVULN_EXIT END_FRAME NEXT_STATE LIVE END_STATE END_ENTITY\n"
	"ENTITY Mourner NAME Mourner DAMAGE 7\n"
	" STATE LIVE FRAME NONE DELAY 0 END_FRAME FRAME NONE DELAY 0 ENTER EF_PLAYER_GONE END_FRAME END_STATE END_ENTITY\n";

typedef std::vector<std::string> Log;
Log logged;                        // what the test behaviours saw, in order
std::vector<Entity *> victims;     // whom killVictims removes

int logEnter(void *p) {
	logged.push_back(((Entity *)p)->name + ":" + ((Entity *)p)->frame->name);
	return 1;
}
int logExit(void *p) {
	logged.push_back("-" + ((Entity *)p)->frame->name);
	return 1;
}
int exitToB(void *p) {
	logExit(p);
	((Entity *)p)->setState("B");
	return 1;
}
int removeSelf(void *p) {
	logged.push_back(((Entity *)p)->name + ":gone");
	remEn(&elist, (Entity *)p);
	return 1;
}
int killVictims(void *p) {
	logged.push_back(((Entity *)p)->name + ":kills");
	for (Entity *v : victims) {
		remEn(&elist, v);
	}
	return 1;
}
int spawnPlain(void *p) {
	logged.push_back(((Entity *)p)->name + ":spawns");
	loadEntity(ENTITY_FILE, "Plain");
	return 1;
}

Frame frame(const std::string &name, int delay, EFHandle enter = nullptr, EFHandle exit = nullptr) {
	Frame f;
	f.name = name;
	f.delay = delay;
	f.enter = enter;
	f.exit = exit;
	return f;
}

State state(const std::string &name, int loop, const std::string &next, const std::vector<Frame> &frames) {
	State s;
	s.name = name;
	s.loop = loop;
	s.nextState = next;
	s.frames = frames;
	return s;
}

// Registers template id (named id too) with these states.
EntityData *define(const std::string &id, const std::vector<State> &states, int priority = 0) {
	EntityData d;
	d.id = d.name = id;
	d.priority = priority;
	d.states = states;
	edlist.push_back(d);
	return &edlist.back();
}

// A template of one looping state "A"; withDeath adds a DEATH state whose frame runs enter.
EntityData *looping(const std::string &id, const std::vector<Frame> &frames, int priority = 0) {
	return define(id, {state("A", 0, "", frames)}, priority);
}
EntityData *withDeath(const std::string &id, EFHandle enter) {
	return define(id, {state("A", 0, "", {frame("a0", 0)}), state("DEATH", 0, "", {frame("d0", 0, enter)})});
}

std::string names() {
	std::string s;
	for (Entity *e = elist; e; e = e->next) {
		s += (s.empty() ? "" : " ") + e->name;
	}
	return s;
}

// Every test runs in a world of kDefs on a 450 x 2000 field with the camera at the origin.
struct Ent : public ::testing::Test {
	GameWorld *w = nullptr;
	void SetUp() override {
		w = new GameWorld(kDefs, 450, 2000);
		writeBmp(w->dir, "box.bmp", 20, 10, 0, 0, 255);
		logged.clear();
		victims.clear();
		dbg = 0;
	}
	void TearDown() override { delete w; }
	Entity *make(const char *id, int x, int y) {
		Entity *e = loadEntity(ENTITY_FILE, id, env);
		e->x = x;
		e->y = y;
		return e;
	}
	// The bullets of the world in the order they were made (newest are linked first).
	std::vector<Entity *> bullets() {
		std::vector<Entity *> out;
		for (Entity *e = elist; e != nullptr; e = e->next) {
			if (e->id == "Bullet") {
				out.insert(out.begin(), e);
			}
		}
		return out;
	}
	std::vector<std::vector<int>> vels() {
		std::vector<std::vector<int>> out;
		for (Entity *b : bullets()) {
			out.push_back({b->xvel, b->yvel});
		}
		return out;
	}
};

TEST(WorldLinks, RandomLinkingAndRemovalMatchAModelOfTheLists) {
	Entity *other = nullptr;  // a second list: its entities never leave through elist
	std::vector<Entity *> world, second, gone;
	auto modelAdd = [](std::vector<Entity *> &m, Entity *e) {
		size_t i = 0;
		while (i < m.size() && m[i]->priority < e->priority) {
			i++;
		}
		m.insert(m.begin() + (long)i, e);
	};
	auto walk = [](Entity *head) {
		std::vector<Entity *> out;
		for (Entity *e = head; e != nullptr; e = e->next) {
			out.push_back(e);
		}
		return out;
	};
	unsigned seed = 12345;
	for (int step = 0; step < 20000; step++) {
		seed = seed * 1103515245u + 12345u;
		int op = (int)((seed >> 16) % 10), pick = (int)((seed >> 4) % 1000);
		if (op < 3 || world.empty() || (op < 8 && op >= 6 && second.size() < 50)) {
			Entity *e = new Entity();
			e->priority = pick % 6;
			bool own = op < 6 || world.empty();
			addEn(own ? &elist : &other, e);
			modelAdd(own ? world : second, e);
		} else if (op < 6) {
			Entity *e = world[(size_t)pick % world.size()];
			remEn(&elist, e);
			world.erase(std::find(world.begin(), world.end(), e));
			gone.push_back(e);
		} else if (op == 8 && !second.empty()) {
			remEn(&elist, second[(size_t)pick % second.size()]);  // not in elist: nothing happens
			if (!gone.empty()) {
				remEn(&elist, gone[(size_t)pick % gone.size()]);
			}
		} else if (op == 9) {
			reapEntities();
			gone.clear();
		}
		ASSERT_EQ(walk(elist), world) << step;
		ASSERT_EQ(walk(other), second) << step;
		ASSERT_EQ(num_entities, (int)(world.size() + second.size())) << step;
		for (size_t i = 0; i < world.size(); i++) {
			ASSERT_EQ(world[i]->prev, i == 0 ? nullptr : world[i - 1]) << step;
		}
		for (Entity *e : gone) {
			ASSERT_TRUE(e->removed);
		}
	}
	for (Entity *e : second) {
		EXPECT_FALSE(e->removed);
		remEn(&other, e);
	}
	while (elist != nullptr) {
		remEn(&elist, elist);
	}
	reapEntities();
}

TEST_F(Ent, EntitiesLeavingDuringAnAnimationPass) {
	Frame first = frame("a0", 0);
	looping("Self", {first, frame("a1", 0, removeSelf)}, 1);
	looping("SelfExit", {frame("a0", 0, nullptr, removeSelf), frame("a1", 0, logEnter)}, 2);
	looping("Killer", {first, frame("a1", 0, killVictims)}, 3);
	looping("Victim", {first, frame("a1", 0, logEnter)}, 4);
	looping("Spawner", {first, frame("a1", 0, spawnPlain)}, 5);
	looping("Plain", {first, frame("a1", 0, logEnter)}, 9);
	looping("Early", {first, frame("a1", 0, logEnter)}, 0);
	looping("Last", {first, frame("a1", 0, logEnter)}, 9);
	Entity *e[8];
	const char *ids[] = {"Last", "Early", "Self", "SelfExit", "Killer", "Victim", "Victim", "Spawner"};
	for (int i = 0; i < 8; i++) {
		e[i] = loadEntity(ENTITY_FILE, ids[i]);
	}
	EXPECT_EQ(names(), "Early Self SelfExit Killer Victim Victim Spawner Last");
	victims = {e[5], e[1], e[4], e[6]};  // the early one was handled before the killer
	// the Plain made by the spawner is linked in behind it and reached; nothing is touched after its removal
	for (Entity *a = elist; a; a = worldNext(a)) {
		a->addAnimPhase(1);
	}
	EXPECT_EQ(logged, Log({"Early:a1", "Self:gone", "SelfExit:gone", "Killer:kills", "Spawner:spawns", "Plain:a1", "Last:a1"}));
	EXPECT_EQ(e[3]->curframe, 0u);
	EXPECT_EQ(e[6]->framectr, 0);
	EXPECT_EQ(graveyardSize(), 6);
	EXPECT_EQ(names(), "Spawner Plain Last");
	// a removal from outside the list, or of a removed entity, changes nothing
	Entity stray;
	remEn(&elist, &stray);
	remEn(&elist, e[6]);
	remEn(nullptr, e[0]);
	EXPECT_EQ(graveyardSize(), 6);
	EXPECT_FALSE(stray.removed);
	EXPECT_EQ(worldNext(e[4]), elist);  // along the removed ones to the first one still linked
}

TEST_F(Ent, FrameTimingLoopsNextStatesAndExitBeforeEnter) {
	looping("T", {frame("a0", 0), frame("a1", 3), frame("a2", 2), frame("a3", 0)});
	Entity t(ENTITY_FILE, "T");
	// a frame is left once its count passes its delay, with a fresh count, one frame per call
	const int steps[] = {1, 1, 1, 1, 1, 1, 1, 10};
	const unsigned want[] = {1, 1, 1, 1, 2, 2, 2, 3};
	for (int i = 0; i < 8; i++) {
		t.addAnimPhase(steps[i]);
		EXPECT_EQ(t.curframe, want[i]) << i;
	}
	define("L", {state("A", 0, "", {frame("a0", 0, logEnter, logExit), frame("a1", 0, logEnter, logExit)}),
	             state("S", -1, "B", {frame("s0", 0, logEnter, logExit)}),
	             state("B", 1, "", {frame("b0", 0, logEnter, logExit), frame("b1", 0, logEnter, logExit)})});
	Entity e(ENTITY_FILE, "L");
	EXPECT_TRUE(logged.empty());  // binding runs no behaviour
	for (int i = 0; i < 2; i++) {
		e.addAnimPhase(1);
	}
	EXPECT_EQ(e.setState("S"), 1);
	for (int i = 0; i < 3; i++) {
		e.addAnimPhase(1);
	}
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(logged, Log({"-a0", "L:a1", "-a1", "L:a0", "-a0", "L:s0", "-s0", "L:b0", "-b0", "L:b1", "-b1", "L:b1"}));

	// an exit that switches state: the frame index is checked against the new state
	define("X", {state("A", 0, "", {frame("a0", 0, nullptr, exitToB), frame("a1", 0), frame("a2", 0)}),
	             state("B", 0, "", {frame("b0", 0, logEnter), frame("b1", 0, logEnter)})});
	Entity x(ENTITY_FILE, "X"), y(ENTITY_FILE, "X");
	logged.clear();
	x.setFrame(1);
	EXPECT_EQ(x.frame, &x.state->frames[1]);
	EXPECT_EQ(logged, Log({"-a0", "-a0", "X:b0", "X:b1"}));
	Capture err(2);
	y.setFrame(2);
	EXPECT_EQ(err.finish(), "Entity::setFrame: B does not have a frame #2\n");
	EXPECT_EQ(y.frame, &y.state->frames[0]);
}

TEST_F(Ent, AnimationMessagesAndWhatSurvivesThem) {
	define("T", {state("A", 5, "", {frame("a0", 0)}), state("N", -1, "Missing", {frame("n0", 0)}), state("Nothing", 0, "", {})});
	define("Frameless", {state("A", 0, "", {})});
	Entity bare;
	bare.name = "Bare";
	Entity e(ENTITY_FILE, "T"), f(ENTITY_FILE, "Frameless");
	Capture err(2);
	EXPECT_EQ(bare.setState("A"), 0);
	bare.setFrame(0);
	EXPECT_EQ(e.setState("a"), 0);
	e.setFrame(3);
	e.addAnimPhase(1);  // loop 5 does not exist: stays
	EXPECT_EQ(e.frame->name, "a0");
	e.setState("N");
	e.addAnimPhase(1);
	EXPECT_EQ(e.setState("Nothing"), 1);  // becomes current; the old frame stays
	e.addAnimPhase(1);
	EXPECT_EQ(e.frame->name, "n0");
	f.addAnimPhase(1);
	EXPECT_EQ(err.finish(), "Entity::setState: Bare has no EData\nEntity::setFrame:  does not have a frame #0\n"
	                        "Entity::setState: T has no \"a\" state\nEntity::setFrame: A does not have a frame #3\n"
	                        "Entity::setFrame: A does not have a frame #5\nEntity::setState: T has no \"Missing\" state\n"
	                        "Entity::setFrame: Nothing does not have a frame #0\nEntity::setFrame: Nothing does not have a frame #0\n"
	                        "Entity::addAnimPhase: Frameless: No current frame\n");
	// copies own their spawn lists (the sanitizer build catches a double free)
	e.addSpawn("f.dat", "X", 1, 2, 3, 4, 5);
	e.addSpawn("f.dat", "Y", 1, 2, 3, 4, 9);
	bare.addSpawn("f.dat", "Z", 0, 0, 0, 0, 1);
	bare = e;
	bare = *&bare;
	std::vector<Entity> v(2, bare);
	EXPECT_NE(v[0].slist, v[1].slist);
	EXPECT_EQ(v[1].slist->next->id, "Y");
	EXPECT_EQ(Entity(e).prev, nullptr);
}

TEST_F(Ent, OverlapIgnoringDamageAndDeathOrder) {
	// both ends included; a zero-width box at x 20 meets columns 19-20
	const int rows[][9] = {
		{5, 5, 1, 1, 5, 5, 1, 1, 1}, {5, 5, 1, 1, 6, 5, 1, 1, 0}, {5, 5, 1, 1, 5, 6, 1, 1, 0},
		{0, 0, 10, 10, 9, 9, 5, 5, 1}, {0, 0, 10, 10, 10, 9, 5, 5, 0}, {0, 0, 10, 10, 9, 10, 5, 5, 0},
		{10, 0, INT_MAX, 1, 2000000000, 0, 1, 1, 1}, {10, 0, INT_MAX, 1, 5, 0, 1, 1, 0}, {20, 0, 0, 1, 19, 0, 2, 1, 1},
	};
	Entity a, b;
	for (const int *r : rows) {
		a.x = r[0], a.y = r[1], a.w = r[2], a.h = r[3];
		b.x = r[4], b.y = r[5], b.w = r[6], b.h = r[7];
		EXPECT_EQ(a.collide(&b), r[8]) << b.x << "," << b.y;
		EXPECT_EQ(b.collide(&a), r[8]) << b.x << "," << b.y;
	}
	a.type = "BULLET";  // ignoring is by exact type, from either side
	b.ignore["BULLET"] = 0;
	EXPECT_EQ(a.collide(&b) + b.collide(&a), 0);
	a.type = "Bullet";
	EXPECT_EQ(a.collide(&b), 1);

	withDeath("a", logEnter);
	withDeath("b", logEnter);
	Entity p(ENTITY_FILE, "a"), q(ENTITY_FILE, "b");
	p.life = q.life = 5;
	p.damage = 2;
	q.damage = 3;
	p.doCollision(&q);  // same group: nothing
	q.group = "ENEMY";
	p.flags = ENT_INVULN;
	q.doCollision(&p);  // p keeps its life but still hurts q
	EXPECT_EQ(std::vector<int>({p.life, q.life}), std::vector<int>({5, 3}));
	p.flags = 0;
	p.doCollision(&q);
	EXPECT_EQ(std::vector<int>({p.life, q.life}), std::vector<int>({2, 1}));
	EXPECT_TRUE(logged.empty());
	q.doCollision(&p);  // both used up: the receiver dies first
	EXPECT_EQ(logged, Log({"b:d0", "a:d0"}));
	// damage saturates instead of wrapping into a full life
	p.life = -5;
	q.damage = INT_MAX;
	p.takeDamage(&q);
	q.life = 5;
	p.damage = INT_MIN;
	q.takeDamage(&p);
	EXPECT_EQ(std::vector<int>({p.life, q.life}), std::vector<int>({INT_MIN, INT_MAX}));
}

TEST_F(Ent, SidesThatLeaveTheWorldAreNotTouchedAgain) {
	looping("Plain", {frame("a0", 0)});
	withDeath("Self", removeSelf);
	withDeath("Killer", killVictims);
	withDeath("Dies", logEnter);
	struct Case { const char *r, *o; bool otherHits; Log want; };
	const Case cases[] = {
		{"Plain", "Self", false, {"Self:gone"}},        // no DEATH: the receiver leaves, the other still dies
		{"Killer", "Self", false, {"Killer:kills"}},    // the receiver's death removes the other side
		{"Killer", "Dies", true, {"Dies:d0", "Killer:kills"}},  // the other's death removes the receiver
	};
	for (const Case &c : cases) {
		logged.clear();
		Entity *r = loadEntity(ENTITY_FILE, c.r), *o = loadEntity(ENTITY_FILE, c.o);
		victims = {o};
		r->group = "A";
		r->damage = o->damage = 1;
		Capture err(2);
		c.otherHits ? o->doCollision(r) : r->doCollision(o);
		err.finish();
		EXPECT_EQ(logged, c.want) << c.r << " x " << c.o;
		EXPECT_TRUE(o->removed && r->removed == (c.r == std::string("Plain"))) << c.r << " x " << c.o;
		r->die();  // a removed entity is left alone
		r->doCollision(o);
		EXPECT_EQ(logged, c.want);
	}
}

TEST_F(Ent, WorldAndCameraWindowEdgesVisibilityAndSteps) {
	Entity e;
	e.env = env;
	env->xlen = 800;
	env->cx = 100;
	env->cy = 500;
	// {x, y, w, h, bounds, found}: a box as large as the camera window fits exactly at the camera
	const int rows[][6] = {
		{0, 0, 10, 20, 1, 0}, {-1, 0, 10, 20, 1, 1}, {0, -1, 10, 20, 1, 1}, {790, 1980, 10, 20, 1, 0},
		{791, 0, 10, 20, 1, 1}, {0, 1981, 10, 20, 1, 1}, {-1000, -1000, 10, 20, 0, 0},
		{100, 500, 450, 600, 2, 0}, {101, 500, 450, 600, 2, 2}, {99, 500, 450, 600, 2, 2},
		{100, 499, 450, 600, 2, 2}, {100, 501, 450, 600, 2, 2}, {-1, 500, 450, 600, 7, 3}, {11, 1100, INT_MAX, 1, 1, 1},
	};
	for (const int *r : rows) {
		e.w = r[2];
		e.h = r[3];
		EXPECT_EQ(e.chkMove(r[0], r[1], r[4]), r[5]) << r[0] << "," << r[1] << " fl " << r[4];
	}
	// the picture's last column on the camera's first one, and one further; likewise on each side
	Frame f;
	e.frame = &f;
	EXPECT_EQ(e.visible(), 0);  // no bitmap
	f.bitmap = SDL_CreateRGBSurface(SDL_SWSURFACE, 10, 8, 32, 0xff0000, 0xff00, 0xff, 0);
	f.xoff = -5;
	f.yoff = -3;
	const int seen[][3] = {{96, 700, 4}, {95, 700, 0}, {554, 700, 4}, {555, 700, 0}, {200, 496, 4}, {200, 495, 0}, {200, 1102, 4}, {200, 1103, 0}};
	for (const int *r : seen) {
		e.x = r[0];
		e.y = r[1];
		EXPECT_EQ(e.visible(), r[2]) << r[0] << "," << r[1];
		EXPECT_EQ(e.chkMove(-5000, -5000, 4), r[2]);  // taken where the entity stands
	}
	SDL_FreeSurface(f.bitmap);
	e.frame = nullptr;
	e.w = 10;
	e.h = 20;
	e.x = 100;
	e.y = 500;
	EXPECT_EQ(e.move(-1, 0, 3), 0);  // one pixel out of the camera window
	EXPECT_EQ(e.move(-1, 3, 1), 1);
	EXPECT_EQ(std::vector<int>({e.x, e.y}), std::vector<int>({99, 503}));
	e.move(-500, 5000);  // clamped into the world
	EXPECT_EQ(std::vector<int>({e.x, e.y}), std::vector<int>({0, 1999}));
	e.move(900, -3000);
	EXPECT_EQ(std::vector<int>({e.x, e.y}), std::vector<int>({799, 0}));
	env->vp = nullptr;  // without viewport world bounds only; without environment none
	EXPECT_EQ(e.chkMove(-1, 0, 7), 1);
	env->vp = vp;
	e.env = nullptr;
	EXPECT_EQ(e.chkMove(-5, -5, 7), 0);
	e.move(-100, -100);
	EXPECT_EQ(e.x, 799);
}

// The cycles (1-based) of `calls` phases of n on which the gun's queued Shots appeared.
std::vector<int> firing(Entity &gun, std::vector<int> delays, int calls, int n = 1) {
	for (int d : delays) {
		gun.addSpawnR(ENTITY_FILE, "Shot", 0, 0, 0, 0, d);
	}
	std::vector<int> fired;
	for (int c = 1; c <= calls; c++) {
		int before = num_entities;
		gun.addPhase(n);
		fired.insert(fired.end(), num_entities - before, c);
	}
	return fired;
}

TEST_F(Ent, SpawnRecordsFireAfterTheirDelayInTurn) {
	looping("Gun", {frame("g0", 0)});
	looping("Shot", {frame("s0", 0)});
	Entity gun(ENTITY_FILE, "Gun");
	gun.env = env;
	EXPECT_EQ(firing(gun, {3}, 5), std::vector<int>({3}));
	EXPECT_EQ(firing(gun, {0}, 2), std::vector<int>({1}));
	EXPECT_EQ(firing(gun, {1}, 2), std::vector<int>({1}));
	EXPECT_EQ(firing(gun, {0, 1}, 3), std::vector<int>({1, 2}));
	EXPECT_EQ(firing(gun, {0, 0, 0}, 1), std::vector<int>({1, 1, 1}));
	// a big step fires everything due, but carries nothing over to the record behind
	EXPECT_EQ(firing(gun, {1, 1}, 1, 5), std::vector<int>({1, 1}));
	EXPECT_EQ(firing(gun, {1, 3}, 1, 5), std::vector<int>({1}));
	EXPECT_EQ(gun.slist->delay, 2);
	EXPECT_EQ(firing(gun, {}, 2), std::vector<int>({2}));
	EXPECT_EQ(gun.ctr, 5 + 2 + 2 + 3 + 1 + 5 + 5 + 2);
	// placed and moving from the spawner as it is when the record fires
	gun.x = 400;
	gun.y = 900;
	gun.addSpawnR(ENTITY_FILE, "Shot", 1, -36, 0, -20000, 1);
	gun.addSpawn(ENTITY_FILE, "Gun", 33, 44, 55, 66, 1);  // due together: queuing order, the later linked first
	gun.xvel = 1000;
	gun.yvel = 7;
	gun.x = 10;
	gun.addPhase(1);
	EXPECT_EQ(std::vector<int>({elist->x, elist->y, elist->xvel, elist->yvel}), std::vector<int>({33, 44, 55, 66}));
	Entity *s = elist->next;
	EXPECT_EQ(std::vector<int>({s->x, s->y, s->xvel, s->yvel}), std::vector<int>({11, 864, 1000, -19993}));
	EXPECT_EQ(s->env, env);
	// failing records are dropped and the others go on
	gun.addSpawnR("missing.dat", "Nope", 0, 0, 0, 0, 0);
	gun.addSpawnR("", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR(ENTITY_FILE, "", 0, 0, 0, 0, 0);
	gun.addSpawnR(ENTITY_FILE, "Shot", 0, 0, 0, 0, 0);
	Capture err(2);
	EXPECT_EQ(firing(gun, {2}, 3), std::vector<int>({1, 3}));
	std::string text = err.finish();
	EXPECT_EQ(text.substr(text.find("Entity::spawn()")), "Entity::spawn(): Gun: Could not load missing.dat, ID Nope\n");
}

TEST(SpawnList, AddESKeepsFiringOrderAndRelativeDelays) {
	auto list = [](const std::vector<int> &delays) {
		E_SPAWN *head = nullptr;
		for (size_t i = 0; i < delays.size(); i++) {
			E_SPAWN *e = new E_SPAWN();
			e->delay = delays[i];
			e->id = "r" + std::to_string(i);
			e->next = e;  // a stale link must not survive the append
			addESRel(&head, e);
		}
		return head;
	};
	auto drain = [](E_SPAWN *l) {
		std::string s;
		while (l != nullptr) {
			s += (s.empty() ? "" : " ") + std::to_string(l->delay) + ":" + l->id;
			remES(&l, l);
		}
		return s;
	};
	// ties go behind everything firing at the same time; past the end it is appended
	const std::pair<int, const char *> cases[] = {{6, "5:r0 0:r1 1:n 2:r2"}, {5, "5:r0 0:r1 0:n 3:r2"},
	                                              {2, "2:n 3:r0 0:r1 3:r2"}, {20, "5:r0 0:r1 3:r2 12:n"}};
	for (const auto &c : cases) {
		E_SPAWN *l = list({5, 0, 3});
		E_SPAWN *n = new E_SPAWN();
		n->delay = c.first;
		n->id = "n";
		addES(&l, n);
		EXPECT_EQ(drain(l), c.second) << c.first;
	}
	E_SPAWN *l = list({5, 0, 3});
	E_SPAWN stranger;
	remES(&l, &stranger);  // not in the list: left alone
	remES(&l, l->next);
	EXPECT_EQ(drain(l), "5:r0 3:r2");
}

TEST_F(Ent, AnglesAndProjectileHelpers) {
	// from (100, 100) to (x, y); 225 would be 224 if the steps were kept in double
	const int rows[][3] = {{100, 100, 90}, {100, 150, 270}, {100, 20, 90}, {130, 100, 0}, {60, 100, 180}, {110, 90, 45},
	                       {90, 90, 135}, {90, 110, 225}, {110, 110, 315}, {103, 96, 53}, {100100, 101, 359}};
	Entity o, t;
	o.x = o.y = 100;
	for (const int *r : rows) {
		t.x = r[0];
		t.y = r[1];
		EXPECT_EQ(getAngle(&o, &t), r[2]) << r[0] << "," << r[1];
	}
	o.x = -2000000000;  // a hair below the horizon wraps to 0 rather than 360
	o.y = 0;
	t.x = 2000000000;
	t.y = 1;
	EXPECT_EQ(getAngle(&o, &t) + getAngle(&t, &o), 180);
	ASSERT_EQ(bulletAV(ENTITY_FILE, "Bullet", env, 30, 40, 45, 4000), 1);
	ASSERT_EQ(bulletAV(ENTITY_FILE, "Bullet", env, 0, 0, 90, 4000), 1);  // pi/180 is cut a little short
	ASSERT_EQ(bullet(ENTITY_FILE, "Bullet", env, 0, 0, 180, 4000), 1);
	ASSERT_EQ(bulletXY(ENTITY_FILE, "Bullet", env, 5, 6, -17, 23), 1);
	EXPECT_EQ(vels(), std::vector<std::vector<int>>({{2828, -2828}, {0, -3999}, {-3999, 0}, {-17, 23}}));
	EXPECT_EQ(std::vector<int>({bullets()[0]->x, bullets()[3]->y}), std::vector<int>({30, 6}));
	EXPECT_EQ(bullets()[3]->env, env);
	Capture err(2);
	EXPECT_EQ(bulletAV(ENTITY_FILE, "Nothing", env, 0, 0, 0, 100) + bulletXY(ENTITY_FILE, "Nothing", env, 0, 0, 0, 100), 0);
}

TEST_F(Ent, FiringPatterns) {
	Entity *g = make("Gunner", 100, 100);
	for (EFHandle fire : {ef_fire_spread, ef_fire_line, ef_fire_lead, ef_fire_linewave, ef_fire_aimed}) {
		fire(g);  // no player: no shot
	}
	EXPECT_EQ(num_entities + (g->slist != nullptr), 1);
	player = make("Target", 100, 400);
	g->addAnimPhase(1);  // enters the frame that fires: straight down, less the upward bias
	ef_fire_spread(g);
	ef_fire_line(g);
	g->y = 1500;  // out of the camera window spread and line do not fire; the others do
	ef_fire_spread(g);
	ef_fire_line(g);
	player->y = 0;
	ef_fire_aimed(g);
	player->y = 1800;  // the lead shot adds the player's velocity and no bias
	player->xvel = 500;
	player->yvel = -300;
	ef_fire_lead(g);
	EXPECT_EQ(vels(), std::vector<std::vector<int>>({{0, 2999}, {-25, -904}, {-8, -901}, {8, -901}, {25, -904},
	                                                 {-107, -601}, {-34, -601}, {34, -601}, {107, -601}, {0, -4999}, {500, 3699}}));
	EXPECT_EQ(std::vector<int>({bullets()[0]->x, bullets()[0]->y, bullets()[8]->y, bullets()[10]->y}),
	          std::vector<int>({110, 105, 105, 1505}));
}

TEST_F(Ent, LineWaveQueuesElevenBulletsInSixRows) {
	Entity *g = make("Gunner", 100, 100);
	g->w = 0;  // spawn point (100, 95), 300 straight above the player
	player = make("Target", 100, 395);
	auto queued = [g]() {
		std::vector<std::vector<int>> out;
		int when = 0;
		for (E_SPAWN *s = g->slist; s != nullptr; s = s->next) {
			out.push_back({when += s->delay, s->xv, s->yv});
		}
		return out;
	};
	EXPECT_EQ(ef_fire_linewave(g), 1);
	EXPECT_EQ(queued(), std::vector<std::vector<int>>({{0, 304, 1481}, {0, -304, 1481}, {5, 935, 1437}, {5, -935, 1437},
		{10, 1569, 1241}, {10, -1569, 1241}, {15, 1344, 1527}, {15, -1344, 1527}, {20, 726, 1911}, {20, -726, 1911}, {25, 0, 2156}}));
	// rows leave in the first phase and then every fifth, at the spawner's place and speed then
	g->xvel = 100;
	std::vector<int> fired;
	for (int call = 1; call <= 30; call++) {
		g->x = 100 + call;
		size_t had = bullets().size();
		g->addPhase(1);
		fired.insert(fired.end(), bullets().size() - had, call);
	}
	EXPECT_EQ(fired, std::vector<int>({1, 1, 6, 6, 11, 11, 16, 16, 21, 21, 26}));
	EXPECT_EQ(std::vector<int>({bullets()[0]->x, bullets()[0]->y, bullets()[2]->x}), std::vector<int>({101, 95, 106}));
	EXPECT_EQ(vels()[0], std::vector<int>({404, 1481}));
	// {player y, record, delay, xv, yv}: at 40 pixels the step is 44, atan(1) in degrees being
	// just under 45; at 0 the aim is 90 and the step 89; at 60005 the squares pass the int range
	const std::vector<int> rows[] = {{135, 0, 0, 232, -760}, {135, 10, 25, 0, -580}, {95, 0, 0, -40, -1000},
	                                 {95, 8, 20, -3, -901}, {60100, 0, 0, 0, 499040}, {60100, 10, 25, 0, 630630}};
	g->x = 100;
	for (const std::vector<int> &r : rows) {
		player->y = r[0];
		ef_fire_linewave(g);
		ASSERT_EQ(queued().size(), 11u);
		EXPECT_EQ(queued()[r[1]], std::vector<int>(r.begin() + 2, r.end())) << r[0] << " #" << r[1];
		while (g->slist != nullptr) {
			remES(&g->slist, g->slist);
		}
	}
	g->y = -2000000000;  // at the ends of the int range the speeds stay sane and downward
	player->y = 2000000000;
	ef_fire_linewave(g);
	for (const std::vector<int> &q : queued()) {
		EXPECT_TRUE(q[2] > 0 && q[2] < 100000000) << q[2];
	}
}

TEST_F(Ent, LifeBehaviours) {
	// EF_DIE on leaving frame 0 removes it; frame 1's enter never runs
	Entity *d = make("ExitDier", 0, 0);
	d->addAnimPhase(1);
	EXPECT_TRUE(d->removed && d->curframe == 0u && d->damage == 0);
	EXPECT_EQ(dbg, 16);
	// the player loses lives until the game ends
	player = make("Player", 200, 200);
	for (int round = 0; round < 3; round++) {
		player->doCollision(make("Bullet", 200, 200));  // 3 - 5 life: into DEATH, whose first frame arms the wreck
		ASSERT_EQ(player->getState(), "DEATH");
		EXPECT_EQ(player->damage, 500);
		player->addAnimPhase(1);  // a life is gone
		EXPECT_EQ(std::vector<int>({player->damage, player->var["LIVES"], gameover}), std::vector<int>({0, 1 - round, round == 2}));
		player->addAnimPhase(1);  // back to full life, shielded
		player->doCollision(make("Bullet", 200, 200));
		EXPECT_EQ(std::vector<int>({player->life, player->flags}), std::vector<int>({3, ENT_MOV_OOB_VPT | ENT_INVULN}));
		player->addAnimPhase(1);  // leaving the shield frame for LIVE drops only the shield
		EXPECT_EQ(player->flags, ENT_MOV_OOB_VPT);
	}
	// run by another entity, the count is the player's; a player without LIVES is on its last
	gameover = 0;
	player = make("Target", 0, 0);
	player->maxlife = 9;
	Entity *m = make("Mourner", 0, 0);
	m->addAnimPhase(1);
	EXPECT_EQ(std::vector<int>({m->damage, (int)m->var.count("LIVES"), gameover}), std::vector<int>({0, 0, 1}));
	ef_player_invuln_enter(m);
	EXPECT_EQ(std::vector<int>({player->life, m->flags & ENT_INVULN}), std::vector<int>({9, 0}));
	// EF_GEN sends into DEATH once, where EF_NOHIT shrinks the box
	Entity *g = make("Gen", 50, 60);
	g->addAnimPhase(1);
	EXPECT_EQ(std::vector<int>({(int)g->curframe, g->w, g->h}), std::vector<int>({0, 0, 0}));
	g->addAnimPhase(60);
	g->addAnimPhase(3);
	ef_gen(g);  // already dying: not restarted
	EXPECT_EQ(std::vector<int>({(int)g->curframe, g->framectr}), std::vector<int>({1, 3}));
	Capture err(2);
	ef_gen(player);  // no DEATH state: reported, and it stays
	EXPECT_EQ(err.finish(), "Entity::setState: Target has no \"DEATH\" state\n");
	EXPECT_FALSE(player->removed);
}

TEST_F(Ent, DumpsOfEntitiesAndLists) {
	looping("Tank", {frame("tank1.png", 4)});
	Entity *a = loadEntity(ENTITY_FILE, "Tank");
	Entity *b = loadEntity(ENTITY_FILE, "Tank");
	a->name = "Second";
	a->type = "VEHICLE";
	a->w = 32;
	a->x = -7;
	a->maxlife = 5;
	a->flags = 12;
	a->ctr = 77;
	a->framectr = 2;
	a->eprog = logEnter;
	a->ignore["SHOT"] = 1;
	a->var["SHOTS"] = 3;
	a->var["ALPHA"] = -2;
	a->addSpawnR("data/entity.dat", "Bullet", 1, -36, 0, -20000, 5);
	a->addSpawn("data/entity.dat", "Shot", 2, 3, -4, 5, 7);
	num_entities = 1234;  // the header shows the counter, not the length
	enlist = {*a};
	Capture out(1);
	a->snoop(" ");
	printEnList(0);
	printEnList(1);
	printList(&elist);
	printList(nullptr);
	printEnListV(0);
	printEnListV(1);
	std::string text = out.finish();
	enlist.clear();
	num_entities = 2;
	expectGolden("entity_dump.golden", scrubbed(text));
	(void)b;
}

}  // namespace
