// Helpers for the entity tests: templates built in memory, a behaviour log, a clean world.
#ifndef TESTS_TEST_ENTITY_UTIL_H
#define TESTS_TEST_ENTITY_UTIL_H

#include <gtest/gtest.h>
#include "entity/entity.h"
#include "tests/support/testsupport.h"

typedef std::vector<std::string> Log;

// What the test behaviours have seen, one entry per call.
inline Log &behaviourLog() {
	static Log log;
	return log;
}

// Enter behaviour that logs "entity:frame".
inline int logEnter(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":" + e->frame->name);
	return 1;
}

// Behaviour that logs and takes its own entity out of the world.
inline int removeSelf(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":gone");
	remEn(&elist, e);
	return 1;
}

// Whom killVictims removes.
inline std::vector<Entity *> victims;

// Behaviour that logs and removes every victim.
inline int killVictims(void *p) {
	behaviourLog().push_back(((Entity *)p)->name + ":kills");
	for (size_t i = 0; i < victims.size(); i++) {
		remEn(&elist, victims[i]);
	}
	return 1;
}

// A frame without bitmap.
inline Frame makeFrame(const std::string &name, int delay, EFHandle enter = nullptr, EFHandle exit = nullptr) {
	Frame f;
	f.name = name;
	f.delay = delay;
	f.enter = enter;
	f.exit = exit;
	return f;
}

// A state of the given frames; loop < 0 switches to next at the end.
inline State makeState(const std::string &name, int loop, const std::string &next, const std::vector<Frame> &frames) {
	State s;
	s.name = name;
	s.loop = loop;
	s.nextState = next;
	s.frames = frames;
	return s;
}

// Registers template id (its name is id too) with these states; returns it inside the registry.
inline EntityData *registerTemplate(const std::string &id, const std::vector<State> &states, int priority = 0) {
	EntityData d;
	d.id = id;
	d.name = id;
	d.priority = priority;
	d.states = states;
	edlist.push_back(d);
	return &edlist.back();
}

// A template of one looping state "A" with the given frames.
inline EntityData *oneState(const std::string &id, const std::vector<Frame> &frames, int priority = 0) {
	return registerTemplate(id, {makeState("A", 0, "", frames)}, priority);
}

// A template standing in frame a0 whose DEATH frame runs enter.
inline EntityData *withDeath(const std::string &id, EFHandle enter, int priority = 0) {
	return registerTemplate(id, {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, enter)})}, priority);
}

// Removes and destroys every entity, empties the registry, the log and the victims.
inline void resetWorld() {
	while (elist) {
		remEn(&elist, elist);
	}
	reapEntities();
	edlist.clear();
	behaviourLog().clear();
	victims.clear();
}

// The names of the world list from the head, joined by blanks.
inline std::string worldNames() {
	std::string s;
	for (Entity *e = elist; e; e = e->next) {
		s += (s.empty() ? "" : " ") + e->name;
	}
	return s;
}

// Every entity test starts and ends with an empty world.
class EntityTest : public ::testing::Test {
protected:
	void SetUp() override { resetWorld(); }
	void TearDown() override { resetWorld(); }
};

#endif
