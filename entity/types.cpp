// The entity flag table and the operations on spawn lists.
#include "entity/types.h"

long spawnRecords = 0;

IntTable ent_flags_table;

// Fills the flag table with the names that templates may give after FLAG.
void buildEFlags() {
	static const struct {
		const char *name;
		int bit;
	} names[] = {
		{"ENT_INVULN", ENT_INVULN},           {"ENT_DIE_OOB_VPT", ENT_DIE_OOB_VPT},
		{"ENT_DIE_OOB_ENV", ENT_DIE_OOB_ENV}, {"ENT_MOV_OOB_VPT", ENT_MOV_OOB_VPT},
		{"ENT_MOV_OOB_ENV", ENT_MOV_OOB_ENV},
	};
	for (const auto &n : names) {
		ent_flags_table[n.name] = n.bit;
	}
}

// Queues e by its firing time (its delay counts from now) and rewrites the delays as relative ones.
void addES(E_SPAWN **list, E_SPAWN *e) {
	if (list == nullptr || e == nullptr) {
		return;
	}
	E_SPAWN **p = list;
	// equal firing times go behind the records already queued, so they fire in queuing order
	while (*p != nullptr && e->delay >= (*p)->delay) {
		e->delay -= (*p)->delay;
		p = &(*p)->next;
	}
	e->next = *p;
	*p = e;
	if (e->next != nullptr) {
		e->next->delay -= e->delay;
	}
}

// Appends e at the end of the list; its delay counts from the record before it.
void addESRel(E_SPAWN **list, E_SPAWN *e) {
	if (list == nullptr || e == nullptr) {
		return;
	}
	E_SPAWN **p = list;
	while (*p != nullptr) {
		p = &(*p)->next;
	}
	e->next = nullptr;
	*p = e;
}

// Unlinks e from the list and destroys it; a record that is not in the list is left alone.
void remES(E_SPAWN **list, E_SPAWN *e) {
	if (list == nullptr) {
		return;
	}
	E_SPAWN **p = list;
	while (*p != nullptr && *p != e) {
		p = &(*p)->next;
	}
	if (*p == nullptr) {
		return;
	}
	*p = e->next;
	delete e;
}
