// Templates, their states and frames, and the template registry lookup.
#include "entity/entitydata.h"

// An empty frame: no bitmap, no offsets, no behaviours.
Frame::Frame() {
	initFrame();
}

// Sets every field but the name to zero or null.
void Frame::initFrame() {
	bitmap = nullptr;
	xlen = ylen = 0;
	xoff = yoff = 0;
	delay = 0;
	enter = exit = nullptr;
}

// Releases the bitmap; only the last holder of a shared bitmap may call this.
void Frame::freeFrame() {
	if (bitmap != nullptr) {
		SDL_FreeSurface(bitmap);
	}
	bitmap = nullptr;
}

// An empty state that loops from its first frame.
State::State() {
	initState();
}

// Drops the frames; their bitmaps stay with whoever shares them.
State::~State() {
	freeState();
}

// Back to an unnamed state without frames that loops from frame 0.
void State::initState() {
	name = "";
	frames.clear();
	loop = 0;
	nextState = "";
}

// Empties the frame list without releasing any bitmap.
void State::freeState() {
	frames.clear();
}

// Appends a copy of f; the caller keeps f.
void State::addFrame(Frame *f) {
	frames.push_back(*f);
}

// An empty template with the default values.
EntityData::EntityData() {
	initEnD();
}

// A template read from the block eid of the file fn; id stays "" when the block is not found.
EntityData::EntityData(const std::string &fn, const std::string &eid) {
	initEnD();
	loadEnD(fn, eid);
}

// Back to the defaults of a template that sets nothing; the file name is kept.
void EntityData::initEnD() {
	freeEnD();
	static_cast<EntityFields &>(*this) = EntityFields();
	flags = ENT_MOV_OOB_VPT;
}

// Drops the states and their frames without releasing any bitmap.
void EntityData::freeEnD() {
	states.clear();
}

// Appends a copy of s; the caller keeps s.
void EntityData::addState(State *s) {
	states.push_back(*s);
}

// The registered template with this exact id, or null.
EntityData *getEData(const std::string &id, EDList &list) {
	for (size_t i = 0; i < list.size(); i++) {
		if (list[i].id == id) {
			return &list[i];
		}
	}
	return nullptr;
}

// Releases the bitmap of every frame of every template in list; each registered frame is the
// only holder of its bitmap once the reader's own copy is gone.
void freeEdListBitmaps(EDList &list) {
	for (EntityData &d : list) {
		for (State &s : d.states) {
			for (Frame &f : s.frames) {
				f.freeFrame();
			}
		}
	}
}
