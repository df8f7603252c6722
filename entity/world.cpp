// The world list, the graveyard of removed entities and the entity factory.
#include <vector>
#include "entity/entity.h"
#include "entity/report.h"

// Entities unlinked by remEn and not yet destroyed; see the removal rule in entity.h.
static std::vector<Entity *> graveyard;

void (*linkWatch)(Entity *e) = nullptr;
void (*unlinkWatch)(Entity *e) = nullptr;

// Links e into the list at the place its priority gives, before others of equal priority.
void addEn(Entity **list, Entity *e) {
	Entity **p = list;
	Entity *before = nullptr;
	while (*p && (*p)->priority < e->priority) {
		before = *p;
		p = &before->next;
	}
	e->next = *p;
	*p = e;
	// back links are kept for the world list only: remEn trusts them for elist alone
	e->prev = list == &elist ? before : nullptr;
	if (list == &elist && e->next) {
		e->next->prev = e;
	}
	num_entities += 1;
	if (list == &elist && linkWatch != nullptr) {
		linkWatch(e);
	}
}

// The link that holds e in the world list, found through e's back link without a walk;
// null when the back link is not known to hold.
static Entity **backLink(Entity **list, Entity *e) {
	if (list != &elist || !e->prev || e->prev->removed || e->prev->next != e) {
		return nullptr;
	}
	return &e->prev->next;
}

// Unlinks e from the list and hands it to the graveyard; nothing happens when e is not there.
void remEn(Entity **list, Entity *e) {
	if (!list || !e) {
		return;
	}
	Entity **p = backLink(list, e);
	Entity *before = p ? e->prev : nullptr;
	if (!p) {
		p = list;
		while (*p && *p != e) {
			before = *p;
			p = &before->next;
		}
	}
	if (!*p) {
		return;
	}
	// e->next stays as it is: a pass standing on e goes on along it (worldNext).
	*p = e->next;
	if (list == &elist && e->next) {
		e->next->prev = before;
	}
	e->prev = nullptr;
	e->removed = 1;
	if (list == &elist && unlinkWatch != nullptr) {
		unlinkWatch(e);
	}
	graveyard.push_back(e);
	num_entities -= 1;
}

// The entity after e in the list as it is now; for a removed e, the first one still linked
// along the chain of next pointers frozen at the removals.
Entity *worldNext(Entity *e) {
	if (!e) {
		return nullptr;
	}
	Entity *n = e->next;
	while (n && n->removed) {
		n = n->next;
	}
	return n;
}

// Destroys every removed entity; only where no pass holds an entity.
void reapEntities() {
	for (size_t i = 0; i < graveyard.size(); i++) {
		delete graveyard[i];
	}
	graveyard.clear();
}

// How many removed entities wait for reapEntities.
int graveyardSize() {
	return (int)graveyard.size();
}

// Whether the world holds as many entities as it may: the factory then makes no more.
int worldFull() {
	return num_entities >= MAX_LIVE_ENTITIES;
}

// Tells that the factory refused template id because the world is full (once per template,
// then counted); 1 when it did refuse.
static int refused(const std::string &id) {
	if (!worldFull()) {
		return 0;
	}
	reportLine({"loadEntity: ", std::to_string(num_entities), " entities live, not creating ", id});
	return 1;
}

// Creates an entity from template id in environment e and links it into the world list;
// null when the template cannot be had or the world is full.
Entity *loadEntity(const std::string &fn, const std::string &id, Env *e) {
	if (refused(id)) {
		return nullptr;
	}
	Entity *en = new Entity(fn, id, e);
	if (!en->data) {
		delete en;
		return nullptr;
	}
	addEn(&elist, en);
	return en;
}

// The same without an environment.
Entity *loadEntity(const std::string &fn, const std::string &id) {
	if (refused(id)) {
		return nullptr;
	}
	Entity *en = new Entity(fn, id);
	if (!en->data) {
		delete en;
		return nullptr;
	}
	addEn(&elist, en);
	return en;
}
