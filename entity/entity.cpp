// Entity construction, copying and binding to a template.
#include "entity/entity.h"
#include "entity/report.h"
#include "platform/message.h"

// Frees every record of a spawn list and leaves the head null.
static void freeSpawnList(E_SPAWN **list) {
	E_SPAWN *s = *list;
	while (s) {
		E_SPAWN *n = s->next;
		delete s;
		s = n;
	}
	*list = nullptr;
}

// Returns a record-by-record copy of a spawn list, in the same order.
static E_SPAWN *copySpawnList(const E_SPAWN *src) {
	E_SPAWN *head = nullptr;
	E_SPAWN **tail = &head;
	for (const E_SPAWN *s = src; s; s = s->next) {
		E_SPAWN *c = new E_SPAWN(*s);
		c->next = nullptr;
		*tail = c;
		tail = &c->next;
	}
	return head;
}

// Takes every field of o; the spawn list is duplicated so that each entity owns its own.
static void copyEntity(Entity *to, const Entity &o) {
	static_cast<EntityFields &>(*to) = o;
	to->x = o.x;
	to->y = o.y;
	to->ctr = o.ctr;
	to->xvc = o.xvc;
	to->yvc = o.yvc;
	to->state = o.state;
	to->frame = o.frame;
	to->curframe = o.curframe;
	to->framectr = o.framectr;
	to->env = o.env;
	to->data = o.data;
	to->slist = copySpawnList(o.slist);
	to->next = o.next;
	// A copy is a plain value, never one of the graveyard's entities.
	to->removed = 0;
	to->prev = nullptr;
}

// An entity with the defaults and no template.
Entity::Entity() {
	slist = nullptr;
	initEn();
}

// An entity bound to template id, loading it from fn when needed.
Entity::Entity(const std::string &fn, const std::string &eid) {
	slist = nullptr;
	initEn();
	loadEn(fn, eid);
}

// The factory's form: bound to template id and living in environment e.
Entity::Entity(const std::string &fn, const std::string &eid, Env *e) {
	slist = nullptr;
	initEn();
	loadEn(fn, eid, e);
}

// A copy with its own spawn list.
Entity::Entity(const Entity &o) : EntityFields(o) {
	slist = nullptr;
	copyEntity(this, o);
}

// Replaces this entity's values with o's; the old spawn list is freed first.
Entity &Entity::operator=(const Entity &o) {
	if (this == &o) {
		return *this;
	}
	freeSpawnList(&slist);
	copyEntity(this, o);
	return *this;
}

// Releases the pending spawn records; template, environment and neighbours are not ours.
Entity::~Entity() {
	freeSpawnList(&slist);
}

// Sets the defaults of an unbound entity; pending spawn records are dropped.
void Entity::initEn() {
	freeSpawnList(&slist);
	static_cast<EntityFields &>(*this) = EntityFields();
	x = y = 0;
	ctr = 0;
	xvc = yvc = 0;
	state = nullptr;
	frame = nullptr;
	curframe = 0;
	framectr = 0;
	env = nullptr;
	data = nullptr;
	next = nullptr;
	removed = 0;
	prev = nullptr;
}

// Binds the entity to the registered template eid; 0 when there is none.
int Entity::initTo(const std::string &eid) {
	data = getEData(eid, edlist);
	if (!data) {
		reportLine({"Entity::initTo: Could not find EntityData: ", eid});
		return 0;
	}
	static_cast<EntityFields &>(*this) = *data;
	x = 100;
	y = 100;
	// A template without states, or whose first state has no frames, leaves the entity
	// without a current frame; the animation then reports it instead of crashing.
	state = nullptr;
	frame = nullptr;
	if (!data->states.empty()) {
		state = &data->states[0];
		if (!state->frames.empty()) {
			frame = &state->frames[0];
		}
	}
	return 1;
}

// What a load of a missing template says on standard error, gathered into one message, and
// where the rest goes meanwhile.
static std::string loadSaying;
static MessageSink loadPassOn;

// Gathers what the reader says on standard error during a load and passes the rest on.
static void collectSaying(MessageStream to, const std::string &text) {
	if (to == MESSAGE_ERR) {
		loadSaying += text;
	} else {
		loadPassOn(to, text);
	}
}

// Binds the entity to template eid, registering it from file fn first when it is missing.
// What the load says is one message: a template the file lacks, asked for by every shot of a
// volley, is told once and then counted.
int Entity::loadEn(const std::string &fn, const std::string &eid) {
	if (!getEData(eid, edlist)) {
		loadSaying.clear();
		loadPassOn = setMessageSink(collectSaying);
		writeMessage(MESSAGE_ERR, "Entity::loadEn: EData (" + eid + ") not found, loading...\n");
		addEnD(fn, eid);
		setMessageSink(loadPassOn);
		reportLine(loadSaying.substr(0, loadSaying.size() - 1));
	}
	initTo(eid);
	return 1;
}

// loadEn, then places the entity in environment e.
int Entity::loadEn(const std::string &fn, const std::string &eid, Env *e) {
	loadEn(fn, eid);
	setEnv(e);
	return 1;
}

// Sets the environment the entity lives in.
void Entity::setEnv(Env *e) {
	env = e;
}
