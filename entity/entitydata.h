// Entity templates (EntityData) with their animation states and frames, and the template registry.
// Include "entity/entity.h"; this header is its template half.
#ifndef ENTITY_ENTITYDATA_H
#define ENTITY_ENTITYDATA_H

#include <SDL.h>
#include <deque>
#include <istream>
#include <memory>
#include <string>
#include <vector>
#include "entity/types.h"

// One animation frame. The bitmap is the shared picture of its file (frameImage); frames never
// release it.
class Frame {
public:
	std::string name;     // image path, or "<none>"
	SDL_Surface *bitmap;  // display-format image with colour key; null for none
	int xlen;
	int ylen;
	int xoff;  // picture offset from the entity's position
	int yoff;
	int delay;       // shown until the frame counter exceeds this
	EFHandle enter;  // run when the frame is entered
	EFHandle exit;   // run when the frame is left

	Frame();
	void initFrame();
	void snoop(const std::string &spaces);
};

// A named animation sequence.
class State {
public:
	std::string name;
	std::vector<Frame> frames;
	int loop;  // >= 0: frame to continue with; < 0: switch to nextState
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

// A definition file as read once: its text and the offsets of its candidate id tokens
// (def_index.cpp).
struct DefinitionFile {
	std::string path;
	unsigned long long dev;
	unsigned long long ino;
	long long size;
	long long mtime;  // nanoseconds
	long long ctime;
	std::string text;
	std::vector<uint32_t> candidates;  // every candidate id, in file order
	std::vector<uint32_t> ids;         // the first of each id, sorted by id
};
std::shared_ptr<const DefinitionFile> definitionFile(const std::string &fn, std::string &why);
size_t blockOf(const DefinitionFile &f, const std::string &eid);
std::string idAt(const DefinitionFile &f, uint32_t at);
void forgetDefinitionFiles();

// The frame pictures, one per file, shared by every frame naming it (frame_images.cpp).
int frameImage(const std::string &path, SDL_Surface **bitmap, std::string &why);
SDL_Surface *adoptFrameImage(const std::string &path, SDL_Surface *decoded);
void releaseFrameImages();

void printIntTable(const IntTable &tbl, const std::string &spaces);
void printEdList(int level);

#endif
