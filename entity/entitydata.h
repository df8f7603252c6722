// Entity templates (EntityData) with their animation states and frames, and the template registry.
// Include "entity/entity.h"; this header is its template half.
#ifndef ENTITY_ENTITYDATA_H
#define ENTITY_ENTITYDATA_H

#include <SDL.h>
#include <deque>
#include <istream>
#include <string>
#include <vector>
#include "entity/types.h"

// One animation frame. Copies share the bitmap; only freeFrame releases it.
class Frame {
public:
	std::string name;     // image path, or "<none>"
	SDL_Surface *bitmap;  // display-format image with colour key; null for none
	int xlen;
	int ylen;
	int xoff;             // picture offset from the entity's position
	int yoff;
	int delay;            // shown until the frame counter exceeds this
	EFHandle enter;       // run when the frame is entered
	EFHandle exit;        // run when the frame is left

	Frame();
	void initFrame();
	void freeFrame();
	void snoop(const std::string &spaces);
};

// A named animation sequence.
class State {
public:
	std::string name;
	std::vector<Frame> frames;
	int loop;               // >= 0: frame to continue with; < 0: switch to nextState
	std::string nextState;

	State();
	~State();
	void initState();
	void freeState();
	void addFrame(Frame *f);
	void snoop(const std::string &spaces);
};

// An entity template, read from the entity definition file.
class EntityData : public EntityFields {
public:
	std::string filename;
	std::vector<State> states;

	EntityData();
	EntityData(const std::string &fn, const std::string &eid);
	void initEnD();
	void freeEnD();
	void addState(State *s);

	int loadEnD(const std::string &fn, const std::string &eid);
	int readEnD(std::istream &file);
	int readState(std::istream &file);
	Frame *readFrame(std::istream &file);

	void snoop(const std::string &spaces);
};

// The registry. A deque never moves its elements when it grows at the end, so pointers
// into registered templates, their states and frames stay valid for the whole run.
typedef std::deque<EntityData> EDList;
extern EDList edlist;

EntityData *getEData(const std::string &id, EDList &list);
int addEnD(const std::string &fn, const std::string &eid);
// Releases the bitmap of every frame in list. The game keeps them until exit; tests, tools
// and fuzzers that empty the registry and read templates again call this first.
void freeEdListBitmaps(EDList &list);

void printIntTable(const IntTable &tbl, const std::string &spaces);
void printEdList(int level);

#endif
