// Helpers for the entity tests: templates built in memory, a behaviour log, a clean world.
#ifndef TESTS_TEST_ENTITY_UTIL_H
#define TESTS_TEST_ENTITY_UTIL_H

#include <string>
#include <vector>
#include "entity/entity.h"

// What the test behaviours have seen, one word per call.
inline std::vector<std::string> &behaviourLog() {
	static std::vector<std::string> log;
	return log;
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
	for (size_t i = 0; i < frames.size(); i++) {
		Frame f = frames[i];
		s.addFrame(&f);
	}
	return s;
}

// Registers a template with these states and returns it inside the registry.
inline EntityData *registerTemplate(const std::string &id, const std::vector<State> &states) {
	EntityData d;
	d.id = id;
	d.name = id + "Name";
	for (size_t i = 0; i < states.size(); i++) {
		State s = states[i];
		d.addState(&s);
	}
	edlist.push_back(d);
	return &edlist.back();
}

// Removes every entity, destroys them and empties the registry and the log.
inline void resetWorld() {
	while (elist) {
		remEn(&elist, elist);
	}
	reapEntities();
	num_entities = 0;
	edlist.clear();
	behaviourLog().clear();
}

// A heap entity bound to a registered template and linked into the world list.
inline Entity *spawnLinked(const std::string &id, int priority = 0) {
	Entity *e = new Entity();
	e->initTo(id);
	e->priority = priority;
	addEn(&elist, e);
	return e;
}

// The names of the world list from the head, joined by blanks.
inline std::string worldNames() {
	std::string s;
	for (Entity *e = elist; e; e = e->next) {
		if (!s.empty()) {
			s += " ";
		}
		s += e->name;
	}
	return s;
}

#endif
