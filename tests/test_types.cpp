// Spawn list ordering, the flag table, and lookups in the template registry.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "entity/entitydata.h"

static E_SPAWN *record(int delay, const std::string &id) {
	E_SPAWN *e = new E_SPAWN();
	e->delay = delay;
	e->id = id;
	return e;
}

// Builds a list from relative delays, ids "r0", "r1", ... in list order.
static E_SPAWN *makeList(const std::vector<int> &delays) {
	E_SPAWN *head = nullptr;
	for (size_t i = 0; i < delays.size(); i++) {
		addESRel(&head, record(delays[i], "r" + std::to_string(i)));
	}
	return head;
}

// "delay:id" for every record from the head, removing each.
static std::string drain(E_SPAWN **head) {
	std::string s;
	while (*head != nullptr) {
		s += (s.empty() ? "" : " ") + std::to_string((*head)->delay) + ":" + (*head)->id;
		remES(head, *head);
	}
	return s;
}

TEST(SpawnList, AddESKeepsFiringOrderAndRelativeDelays) {
	struct Case { std::vector<int> list; int delay; const char *expected; };
	const Case cases[] = {
		{{5, 0, 3}, 6, "5:r0 0:r1 1:n 2:r2"},
		{{5, 0, 3}, 5, "5:r0 0:r1 0:n 3:r2"},   // ties go behind everything firing at the same time
		{{5, 0, 3}, 2, "2:n 3:r0 0:r1 3:r2"},
		{{5, 0, 3}, 20, "5:r0 0:r1 3:r2 12:n"},  // past the end: appended with what is left
		{{}, 7, "7:n"},
		{{0, 0, 4}, 0, "0:r0 0:r1 0:n 4:r2"},
	};
	for (const Case &c : cases) {
		E_SPAWN *l = makeList(c.list);
		addES(&l, record(c.delay, "n"));
		EXPECT_EQ(c.expected, drain(&l)) << "delay " << c.delay;
	}
}

TEST(SpawnList, AddESRelAndRemES) {
	E_SPAWN *l = makeList({5, 3});
	E_SPAWN *e = record(2, "n");
	e->next = e;  // a stale link must not survive the append
	addESRel(&l, e);
	EXPECT_EQ("5:r0 3:r1 2:n", drain(&l));

	l = makeList({5, 0, 3});
	E_SPAWN *stranger = record(1, "x");
	remES(&l, stranger);  // not in the list: left alone (the sanitizer build sees a double free)
	remES(nullptr, stranger);
	delete stranger;
	remES(&l, l->next);
	EXPECT_EQ("5:r0 3:r2", drain(&l));
}

TEST(FlagTable, BuildEFlags) {
	ent_flags_table.clear();
	buildEFlags();
	IntTable expected = {{"ENT_INVULN", 1}, {"ENT_DIE_OOB_VPT", 2}, {"ENT_DIE_OOB_ENV", 4},
	                     {"ENT_MOV_OOB_VPT", 8}, {"ENT_MOV_OOB_ENV", 16}};
	EXPECT_EQ(expected, ent_flags_table);
}

TEST(Registry, LookupIsExactAndTemplatesNeverMove) {
	edlist.clear();
	EntityData d;
	d.id = "Tank";
	edlist.push_back(d);
	EntityData *tank = getEData("Tank", edlist);
	ASSERT_EQ(&edlist[0], tank);
	EXPECT_EQ(nullptr, getEData("tank", edlist));
	// entities keep pointers to their template: registering many more must not move it
	for (int i = 0; i < 2000; i++) {
		edlist.push_back(d);
	}
	EXPECT_EQ(tank, getEData("Tank", edlist));
	edlist.clear();
}
