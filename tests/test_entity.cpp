// Entities one rule at a time: the world list against a model, animation, collisions and
// damage, bounds and motion, spawn lists, the behaviours and firing patterns, and the dumps.
// Tests build templates in memory (with logging behaviours) or read tests/data/behaviours.dat.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include "entity/ef_def.h"
#include "entity/report.h"
#include "tests/support/testsupport.h"

namespace {

typedef std::vector<std::string> Log;
Log logged;                     // what the test behaviours saw, in order
std::vector<Entity *> victims;  // whom killVictims removes

int logEnter(void *p) {
	logged.push_back(((Entity *)p)->name + ":" + ((Entity *)p)->frame->name);
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

// Every test runs in a world of tests/data/behaviours.dat on a 450 x 2000 field with the camera at the origin.
struct Ent : public ::testing::Test {
	GameWorld *w = nullptr;
	void SetUp() override {
		w = new GameWorld(testData("behaviours.dat"), 450, 2000);
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
	// Place and velocity of the bullets in the order they were made (newest are linked first).
	std::vector<std::vector<int>> bullets() {
		std::vector<std::vector<int>> out;
		for (Entity *b = elist; b != nullptr; b = b->next) {
			out.insert(out.begin(), {b->x, b->y, b->xvel, b->yvel});
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
	EXPECT_EQ(logged,
	          Log({"Early:a1", "Self:gone", "SelfExit:gone", "Killer:kills", "Spawner:spawns", "Plain:a1", "Last:a1"}));
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
	EXPECT_EQ(worldNext(e[2]), elist);  // along the removed ones to the first one still linked
}

TEST_F(Ent, OverlapIgnoringDamageAndDeathOrder) {
	// both ends included; a zero-width box at x 20 meets columns 19-20
	const int rows[][9] = {
		{5, 5, 1, 1, 5, 5, 1, 1, 1},
		{5, 5, 1, 1, 6, 5, 1, 1, 0},
		{5, 5, 1, 1, 5, 6, 1, 1, 0},
		{0, 0, 10, 10, 9, 9, 5, 5, 1},
		{0, 0, 10, 10, 10, 9, 5, 5, 0},
		{0, 0, 10, 10, 9, 10, 5, 5, 0},
		{10, 0, INT_MAX, 1, 2000000000, 0, 1, 1, 1},
		{10, 0, INT_MAX, 1, 5, 0, 1, 1, 0},
		{20, 0, 0, 1, 19, 0, 2, 1, 1},
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
	struct Case {
		const char *r, *o;
		bool otherHits;
		Log want;
	};
	const Case cases[] = {
		{"Plain", "Self", false, {"Self:gone"}},                // no DEATH: the receiver leaves, the other still dies
		{"Killer", "Self", false, {"Killer:kills"}},            // the receiver's death removes the other side
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
		{0, 0, 10, 20, 1, 0},         {-1, 0, 10, 20, 1, 1},        {0, -1, 10, 20, 1, 1},
		{790, 1980, 10, 20, 1, 0},    {791, 0, 10, 20, 1, 1},       {0, 1981, 10, 20, 1, 1},
		{-1000, -1000, 10, 20, 0, 0}, {100, 500, 450, 600, 2, 0},   {101, 500, 450, 600, 2, 2},
		{99, 500, 450, 600, 2, 2},    {100, 499, 450, 600, 2, 2},   {100, 501, 450, 600, 2, 2},
		{-1, 500, 450, 600, 7, 3},    {11, 1100, INT_MAX, 1, 1, 1},
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
	const int seen[][3] = {{96, 700, 4},  {95, 700, 0},  {554, 700, 4},  {555, 700, 0},
	                       {200, 496, 4}, {200, 495, 0}, {200, 1102, 4}, {200, 1103, 0}};
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

TEST_F(Ent, AnglesAndProjectileHelpers) {
	// from (100, 100) to (x, y); 225 would be 224 if the steps were kept in double
	const int rows[][3] = {{100, 100, 90},  {100, 150, 270}, {100, 20, 90},     {130, 100, 0},
	                       {60, 100, 180},  {110, 90, 45},   {90, 90, 135},     {90, 110, 225},
	                       {110, 110, 315}, {103, 96, 53},   {100100, 101, 359}};
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
	bulletAV(ENTITY_FILE, "Bullet", env, 30, 40, 45, 4000);
	bullet(ENTITY_FILE, "Bullet", env, 0, 0, 90, 4000);  // pi/180 is cut a little short
	player = make("Target", 100, 400);
	Entity *g = make("Gunner", 100, 1500);  // out of the camera window: no spread, no line
	ef_fire_spread(g);
	ef_fire_line(g);
	bulletXY(ENTITY_FILE, "Bullet", env, 5, 6, -17, 23);
	EXPECT_EQ(bullets(),
	          std::vector<std::vector<int>>(
				  {{30, 40, 2828, -2828}, {0, 0, 0, -3999}, {5, 6, -17, 23}, {100, 400, 0, 0}, {100, 1500, 0, 0}}));
}

TEST_F(Ent, LifeBehaviours) {
	// EF_DIE on leaving frame 0 removes it; frame 1's enter never runs
	Entity *d = make("ExitDier", 0, 0);
	d->addAnimPhase(1);
	EXPECT_TRUE(d->removed && d->curframe == 0u && d->damage == 0);
	EXPECT_EQ(dbg, 16);
	// run by another entity, the count is the player's; a player without LIVES is on its last
	player = make("Target", 0, 0);
	player->maxlife = 9;
	Entity *m = make("Mourner", 0, 0);
	m->addAnimPhase(1);
	EXPECT_EQ(std::vector<int>({m->damage, (int)m->var.count("LIVES"), gameover}), std::vector<int>({0, 0, 1}));
	ef_player_invuln_enter(m);
	EXPECT_EQ(std::vector<int>({player->life, m->flags & ENT_INVULN}), std::vector<int>({9, 0}));
	Capture err(2);
	ef_gen(player);  // no DEATH state: reported, and it stays
	EXPECT_EQ(err.finish(), "Entity::setState: Target has no \"DEATH\" state\n");
	EXPECT_FALSE(player->removed);
}

// A message is written once; its repeats are counted and told at most once a second, each
// count from the last one told; a fresh world writes it again.
TEST(Report, RepeatsAreCountedToldOnceASecondOfPlayAndForgotten) {
	forgetReports();
	MessageCatcher err;
	const struct {
		int cycles;         // played before the lines
		const char *lines;  // one message a letter
		const char *said;
	} steps[] = {
		{0, "aaabb", "a\nb\n"}, {51, "a", "a ... (repeated 3 times)\n"},
		{0, "aaaa", ""},        {51, "ab", "a ... (repeated 5 times)\nb ... (repeated 2 times)\n"},
		{-1, "ab", "a\nb\n"},  // after forgetReports
	};
	for (const auto &s : steps) {
		if (s.cycles < 0) {
			forgetReports();
		}
		playedCycles += std::max(s.cycles, 0);
		err.text.clear();
		for (const char *c = s.lines; *c; c++) {
			reportLine({std::string_view(c, 1)});
		}
		EXPECT_EQ(err.text, s.said) << s.lines;
	}
}

}  // namespace
