// Debug dumps of live entities and of entity lists.
#include <cstdio>
#include <iostream>
#include "entity/entity.h"

// Prints the entity, its tables and pending spawns, indented by spaces.
void Entity::snoop(const std::string &spaces) {
	std::string s2 = spaces + "  ";
	std::cout << spaces << "ENTITY " << name << std::endl;
	std::cout << s2 << "GROUP    " << group << std::endl;
	std::cout << s2 << "TYPE     " << type << std::endl;
	std::cout << s2 << "PRIORITY " << priority << std::endl;
	std::cout << s2 << "SIZE     " << w << "x" << h << std::endl;
	std::cout << s2 << "POS      (" << x << ", " << y << ")\n";
	std::cout << s2 << "LIFE     " << life << "/" << maxlife << std::endl;
	std::cout << s2 << "DAMAGE   " << damage << std::endl;
	std::cout << s2 << "FLAGS    " << flags << std::endl;
	std::cout << s2 << "COUNTER  " << ctr << std::endl;
	std::cout << s2 << "STATE    " << (void *)state;
	if (state) {
		std::cout << " (" << state->name << ")";
	}
	std::cout << std::endl;
	std::cout << s2 << "FRAME    " << (void *)frame;
	if (frame) {
		std::cout << " (" << frame->name << ")";
	}
	std::cout << std::endl;
	std::cout << s2 << "FRAMECTR " << framectr << std::endl;
	std::cout << s2 << "NEXT     " << (void *)next;
	if (next) {
		std::cout << " (" << next->name << ")";
	}
	std::cout << std::endl;
	snoopTables(s2, 9);
	std::cout << s2 << "SLIST" << std::endl;
	for (E_SPAWN *sp = slist; sp; sp = sp->next) {
		std::cout << s2 << "  " << sp->delay << "] " << sp->filename << ":" << sp->id << " (" << sp->x << "," << sp->y
				  << ")  XV:" << sp->xv << " YV: " << sp->yv << std::endl;
	}
	std::cout << s2 << "ID       " << id << std::endl;
}

// Lists the world list: one summary line per entity at level 0 or less, full dumps above.
void printEnList(int level) {
	printf("Entities (%3d) -----\n", num_entities);
	int i = 0;
	for (Entity *e = elist; e; e = e->next) {
		if (level <= 0) {
			printf("Entity %3d: %s\n", i, e->name.c_str());
		} else {
			e->snoop("");
		}
		i++;
	}
}

// Lists the entity values of enlist like printEnList.
void printEnListV(int level) {
	printf("Entities (%3d) -----\n", (int)enlist.size());
	for (size_t i = 0; i < enlist.size(); i++) {
		if (level <= 0) {
			printf("Entity %3d: %s\n", (int)i, enlist[i].name.c_str());
		} else {
			enlist[i].snoop("");
		}
	}
}

// Dumps every entity of the linked list whose head pointer is given.
void printList(Entity **list) {
	std::cout << "List\n";
	if (!list) {
		return;
	}
	for (Entity *e = *list; e; e = e->next) {
		e->snoop("");
	}
}
