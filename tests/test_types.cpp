// Spawn list ordering, the flag table, and the in-memory behaviour of templates and the registry.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "entity/entitydata.h"
#include "tests/support/testsupport.h"

// Builds a list from relative delays, ids "r0", "r1", ... in list order.
static E_SPAWN *makeList(const std::vector<int> &delays) {
	E_SPAWN *head = nullptr;
	for (size_t i = 0; i < delays.size(); i++) {
		E_SPAWN *e = new E_SPAWN();
		e->delay = delays[i];
		e->id = "r" + std::to_string(i);
		addESRel(&head, e);
	}
	return head;
}

static E_SPAWN *record(int delay, const std::string &id) {
	E_SPAWN *e = new E_SPAWN();
	e->delay = delay;
	e->id = id;
	return e;
}

// "delay:id" for every record from the head.
static std::string describe(E_SPAWN *head) {
	std::string s;
	for (E_SPAWN *e = head; e != nullptr; e = e->next) {
		if (!s.empty()) {
			s += " ";
		}
		s += std::to_string(e->delay) + ":" + e->id;
	}
	return s;
}

static void freeList(E_SPAWN **head) {
	while (*head != nullptr) {
		remES(head, *head);
	}
}

TEST(SpawnList, AddESKeepsFiringOrderAndRelativeDelays) {
	E_SPAWN *l = makeList({5, 0, 3});
	addES(&l, record(6, "n"));
	EXPECT_EQ("5:r0 0:r1 1:n 2:r2", describe(l));
	freeList(&l);

	l = makeList({5, 0, 3});
	addES(&l, record(5, "n"));  // ties go behind everything firing at the same time
	EXPECT_EQ("5:r0 0:r1 0:n 3:r2", describe(l));
	freeList(&l);

	l = makeList({5, 0, 3});
	addES(&l, record(2, "n"));
	EXPECT_EQ("2:n 3:r0 0:r1 3:r2", describe(l));
	freeList(&l);

	l = makeList({5, 0, 3});
	addES(&l, record(20, "n"));  // past the end: appended with what is left
	EXPECT_EQ("5:r0 0:r1 3:r2 12:n", describe(l));
	freeList(&l);

	l = nullptr;
	addES(&l, record(7, "n"));
	EXPECT_EQ("7:n", describe(l));
	freeList(&l);

	l = makeList({0, 0, 4});
	addES(&l, record(0, "n"));
	EXPECT_EQ("0:r0 0:r1 0:n 4:r2", describe(l));
	freeList(&l);

	// queuing in reverse order still fires in time order
	l = nullptr;
	addES(&l, record(9, "c"));
	addES(&l, record(4, "b"));
	addES(&l, record(1, "a"));
	addES(&l, record(4, "b2"));
	EXPECT_EQ("1:a 3:b 0:b2 5:c", describe(l));
	freeList(&l);
}

TEST(SpawnList, AddESRelAppendsUnchanged) {
	E_SPAWN *l = makeList({5, 3});
	E_SPAWN *e = record(2, "n");
	e->next = e;  // a stale link must not survive the append
	addESRel(&l, e);
	EXPECT_EQ("5:r0 3:r1 2:n", describe(l));
	freeList(&l);

	l = nullptr;
	addESRel(&l, record(4, "n"));
	EXPECT_EQ("4:n", describe(l));
	freeList(&l);
}

TEST(SpawnList, RemES) {
	E_SPAWN *l = makeList({5, 0, 3});
	remES(&l, l);
	EXPECT_EQ("0:r1 3:r2", describe(l));

	E_SPAWN *stranger = record(1, "x");
	remES(&l, stranger);
	EXPECT_EQ("0:r1 3:r2", describe(l));
	EXPECT_EQ("x", stranger->id);  // still alive and untouched
	remES(nullptr, stranger);
	EXPECT_EQ("x", stranger->id);
	delete stranger;

	remES(&l, l->next);  // a middle or last record can go too
	EXPECT_EQ("0:r1", describe(l));
	freeList(&l);
	EXPECT_EQ(nullptr, l);
}

TEST(FlagTable, BuildEFlags) {
	ent_flags_table.clear();
	buildEFlags();
	buildEFlags();  // a second call assigns the same rows again
	IntTable expected = {{"ENT_INVULN", 1}, {"ENT_DIE_OOB_VPT", 2}, {"ENT_DIE_OOB_ENV", 4},
	                     {"ENT_MOV_OOB_VPT", 8}, {"ENT_MOV_OOB_ENV", 16}};
	EXPECT_EQ(expected, ent_flags_table);
	EXPECT_EQ(0u, ent_flags_table.count("ENT_NOTHING"));
	EXPECT_EQ(0u, ent_flags_table.count("ent_invuln"));
}

TEST(Templates, InitKeepsNameAndFilename) {
	Frame f;
	f.name = "keep.png";
	f.delay = 3;
	f.enter = [](void *) { return 0; };
	f.initFrame();
	EXPECT_EQ("keep.png", f.name);
	EXPECT_EQ(0, f.delay);
	EXPECT_EQ(nullptr, f.enter);

	State s;
	s.name = "MOVE";
	s.loop = -1;
	s.nextState = "DEATH";
	s.addFrame(&f);
	s.initState();
	EXPECT_EQ("", s.name);
	EXPECT_TRUE(s.frames.empty());
	EXPECT_EQ(0, s.loop);
	EXPECT_EQ("", s.nextState);

	EntityData d;
	d.filename = "kept.dat";
	d.id = "X";
	d.w = 9;
	d.flags = 1;
	d.var["A"] = 1;
	d.addState(&s);
	d.initEnD();
	EXPECT_EQ("kept.dat", d.filename);
	EXPECT_EQ("", d.id);
	EXPECT_EQ(1, d.w);
	EXPECT_EQ(ENT_MOV_OOB_VPT, d.flags);
	EXPECT_TRUE(d.var.empty());
	EXPECT_TRUE(d.states.empty());
}

TEST(Templates, CopiesAreDeepButShareBitmaps) {
	SDL_Surface *pic = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 3, 32, 0xFF0000, 0xFF00, 0xFF, 0);
	Frame f;
	f.name = "a";
	f.bitmap = pic;
	State s;
	s.name = "MOVE";
	s.addFrame(&f);
	f.name = "changed";  // the stored frame is a copy
	EXPECT_EQ("a", s.frames[0].name);

	EntityData d;
	d.id = "T";
	d.addState(&s);
	s.frames.clear();
	s.name = "OTHER";
	ASSERT_EQ(1u, d.states.size());
	EXPECT_EQ("MOVE", d.states[0].name);
	ASSERT_EQ(1u, d.states[0].frames.size());
	{
		EntityData copy = d;
		copy.states[0].name = "COPY";
		EXPECT_EQ(pic, copy.states[0].frames[0].bitmap);
	}
	// destroying the copy released nothing
	EXPECT_EQ("MOVE", d.states[0].name);
	EXPECT_EQ(pic, d.states[0].frames[0].bitmap);
	EXPECT_EQ(4, d.states[0].frames[0].bitmap->w);

	d.states[0].frames[0].freeFrame();
	EXPECT_EQ(nullptr, d.states[0].frames[0].bitmap);
	d.states[0].frames[0].freeFrame();  // a second call is harmless
}

TEST(Registry, GetEDataFindsTheRegisteredTemplate) {
	edlist.clear();
	EXPECT_EQ(nullptr, getEData("Tank", edlist));

	EntityData d;
	d.id = "Tank";
	State s;
	s.name = "MOVE";
	Frame f;
	f.name = "f0";
	s.addFrame(&f);
	d.addState(&s);
	edlist.push_back(d);

	EntityData *tank = getEData("Tank", edlist);
	ASSERT_NE(nullptr, tank);
	EXPECT_EQ(&edlist[0], tank);
	EXPECT_EQ(nullptr, getEData("tank", edlist));
	EXPECT_EQ(nullptr, getEData("Tank ", edlist));
	EXPECT_EQ(nullptr, getEData("", edlist));

	// registering many more moves nothing already registered
	State *state = &tank->states[0];
	Frame *frame = &tank->states[0].frames[0];
	for (int i = 0; i < 2000; i++) {
		EntityData more;
		more.id = "T" + std::to_string(i);
		more.addState(&s);
		edlist.push_back(more);
	}
	EXPECT_EQ(tank, getEData("Tank", edlist));
	EXPECT_EQ(state, &getEData("Tank", edlist)->states[0]);
	EXPECT_EQ(frame, &getEData("Tank", edlist)->states[0].frames[0]);
	EXPECT_EQ("f0", frame->name);
	EXPECT_EQ(&edlist[1500], getEData("T1499", edlist));
	edlist.clear();
}
