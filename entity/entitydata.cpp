// Templates, their states and frames, and the template registry lookup.
#include "entity/entitydata.h"

#include <unordered_map>

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

// Where each id sits in the registry (the first template of that id), for the first
// `registryFiled` templates of edlist. The registry only grows at its end, or is emptied.
static std::unordered_map<std::string, size_t> registryIndex;
static size_t registryFiled;

// Brings the index up to the registry: files the templates added since, or starts over when
// the registry was emptied or the filed slot of an id no longer holds it.
static void fileRegistry(const EDList &list, int again) {
	if (again || list.size() < registryFiled) {
		registryIndex.clear();
		registryFiled = 0;
	}
	for (; registryFiled < list.size(); registryFiled++) {
		registryIndex.emplace(list[registryFiled].id, registryFiled);
	}
}

// The filed template of id in the registry, or null.
static EntityData *filedTemplate(EDList &list, const std::string &id) {
	std::unordered_map<std::string, size_t>::const_iterator i = registryIndex.find(id);
	if (i == registryIndex.end()) {
		return nullptr;
	}
	return i->second < list.size() ? &list[i->second] : nullptr;
}

// The registered template with this exact id, or null. The game's registry is looked up through
// its index, since a file of thousands of templates asks for each one many times.
EntityData *getEData(const std::string &id, EDList &list) {
	if (&list == &edlist) {
		fileRegistry(list, 0);
		EntityData *d = filedTemplate(list, id);
		if (d != nullptr && d->id != id) {
			fileRegistry(list, 1);
			d = filedTemplate(list, id);
		}
		return d;
	}
	for (size_t i = 0; i < list.size(); i++) {
		if (list[i].id == id) {
			return &list[i];
		}
	}
	return nullptr;
}

// Forgets the bitmap of every frame of every template in list and releases the frame
// pictures, which those frames were sharing; the file read and the registry index are
// forgotten too, as the registry is about to be emptied.
void freeEdListBitmaps(EDList &list) {
	for (EntityData &d : list) {
		for (State &s : d.states) {
			for (Frame &f : s.frames) {
				f.bitmap = nullptr;
			}
		}
	}
	releaseFrameImages();
	forgetDefinitionFiles();
	// filed again at the next lookup; released now, so that nothing stays allocated
	std::unordered_map<std::string, size_t>().swap(registryIndex);
	registryFiled = 0;
}
