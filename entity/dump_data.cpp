// Debug dumps of templates, their states and frames, and the template registry.
#include <cstdio>
#include <iostream>
#include "entity/entitydata.h"

// Prints one frame: its image, the bitmap's own size, timing, offsets and bound behaviours.
void Frame::snoop(const std::string &spaces) {
	std::string s2 = spaces + "  ";
	int bw = bitmap != nullptr ? bitmap->w : 0;
	int bh = bitmap != nullptr ? bitmap->h : 0;
	std::cout << spaces << "FRAME " << name << std::endl;
	std::cout << s2 << "BITMAP " << static_cast<void *>(bitmap) << " (" << bw << "x" << bh << ")" << std::endl;
	std::cout << s2 << "DELAY  " << delay << std::endl;
	std::cout << s2 << "XOFF   " << xoff << std::endl;
	std::cout << s2 << "YOFF   " << yoff << std::endl;
	std::cout << s2 << "ENTER  " << (enter != nullptr ? 1 : 0) << std::endl;
	std::cout << s2 << "EXIT   " << (exit != nullptr ? 1 : 0) << std::endl;
}

// Prints one state: what follows its last frame, then every frame.
void State::snoop(const std::string &spaces) {
	std::string s2 = spaces + "  ";
	std::cout << spaces << "STATE " << name << std::endl;
	if (nextState == "") {
		std::cout << s2 << "LOOP TO    " << loop << std::endl;
	} else {
		std::cout << s2 << "NEXT STATE " << nextState << std::endl;
	}
	for (size_t i = 0; i < frames.size(); i++) {
		frames[i].snoop(s2);
	}
}

// Prints one template with its tables and every state.
void EntityData::snoop(const std::string &spaces) {
	std::string s2 = spaces + "  ";
	std::cout << spaces << "ID " << id << std::endl;
	std::cout << s2 << "NAME   " << name << std::endl;
	std::cout << s2 << "GROUP  " << group << std::endl;
	std::cout << s2 << "TYPE   " << type << std::endl;
	std::cout << s2 << "SIZE   " << w << "x" << h << std::endl;
	std::cout << s2 << "PRIRTY " << priority << std::endl;
	std::cout << s2 << "LIFE   " << life << "/" << maxlife << std::endl;
	std::cout << s2 << "DAMAGE " << damage << std::endl;
	std::cout << s2 << "FLAGS  " << flags << std::endl;
	snoopTables(s2, 7);
	if (states.empty()) {
		std::cout << spaces << "STATE <None>\n";
	}
	for (size_t i = 0; i < states.size(); i++) {
		states[i].snoop(s2);
	}
}

// Prints the bound behaviours and both tables; labels are padded to width, as each dump aligns them.
void EntityFields::snoopTables(const std::string &spaces, int width) const {
	std::string pad(width > 5 ? width - 5 : 0, ' ');
	std::cout << spaces << "EPROG" << pad << (eprog != nullptr ? 1 : 0) << std::endl;
	std::cout << spaces << "ONHIT" << pad << (onhit != nullptr ? 1 : 0) << std::endl;
	std::cout << spaces << "IGNORES" << std::endl;
	printIntTable(ignore, spaces + "  ");
	std::cout << spaces << "VARIABLES" << std::endl;
	printIntTable(var, spaces + "  ");
}

// Prints a table's entries in key order, or "<none>" when it is empty.
void printIntTable(const IntTable &tbl, const std::string &spaces) {
	if (tbl.empty()) {
		std::cout << spaces << "<none>\n";
		return;
	}
	for (IntTable::const_iterator it = tbl.begin(); it != tbl.end(); ++it) {
		std::cout << spaces << it->first << " : " << it->second << std::endl;
	}
}

// Prints the registry: one line per template at level 0 or less, full dumps above.
void printEdList(int level) {
	printf("Entity Data (%3d) -----\n", (int)edlist.size());
	for (size_t i = 0; i < edlist.size(); i++) {
		if (level <= 0) {
			printf("EntityData %3d: %s\n", (int)i, edlist[i].id.c_str());
		} else {
			edlist[i].snoop("");
		}
	}
}
