// What the checker asks of the templates once the game's reader has read them all.
#include "check/check.h"

#include "entity/ef_def.h"
#include "entity/gamestate.h"

// The templates the game itself asks for: at start-up, on firing and for enemy fire.
static const char *const ASKED_IDS[] = {PLAYER_ID, TANK_ID, HELICOPTER_ID, SHOT_ID, BULLET_ID};

#define COUNT_OF(a) ((int)(sizeof(a) / sizeof((a)[0])))

// The templates the game fires as projectiles; they must leave with the view.
static const char *const PROJECTILE_IDS[] = {SHOT_ID, BULLET_ID};
static const char *const PROJECTILE_TYPES[] = {"SHOT", "BULLET"};

// An id no token can hold: a load of it walks the whole file and so names every block.
#define PROBE_ID " "

// Reads the file the way the game does, then every other block it holds.
void loadAll(CheckRun *run) {
	EntityData probe;
	probe.loadEnD(run->openPath, PROBE_ID);
	for (int i = 0; i < COUNT_OF(ASKED_IDS); i++) {
		addEnD(run->openPath, ASKED_IDS[i]);
	}
	for (size_t i = 0; i < run->candidates.size(); i++) {
		addEnD(run->openPath, run->candidates[i].id);
	}
}

// Tells whether name is one of the n strings of list.
static int inList(const char *const *list, int n, const std::string &name) {
	for (int i = 0; i < n; i++) {
		if (name == list[i]) {
			return 1;
		}
	}
	return 0;
}

// Tells whether any USES line names id.
static int usedByUses(const CheckRun *run, const std::string &id) {
	for (size_t i = 0; i < run->uses.size(); i++) {
		if (run->uses[i].id == id) {
			return 1;
		}
	}
	return 0;
}

// The state the game switches to for name: the first of that name, or null.
static const State *stateNamed(const EntityData &ed, const std::string &name) {
	for (size_t i = 0; i < ed.states.size(); i++) {
		if (ed.states[i].name == name) {
			return &ed.states[i];
		}
	}
	return nullptr;
}

// Tells whether a frame of s runs the behaviour fn when it is entered or left.
static int framesRun(const State &s, EFHandle fn) {
	for (size_t i = 0; i < s.frames.size(); i++) {
		if (s.frames[i].enter == fn || s.frames[i].exit == fn) {
			return 1;
		}
	}
	return 0;
}

// Tells whether some state's NEXT_STATE leads to the state named name.
static int reached(const EntityData &ed, const std::string &name) {
	for (size_t i = 0; i < ed.states.size(); i++) {
		if (ed.states[i].loop < 0 && ed.states[i].nextState == name) {
			return 1;
		}
	}
	return 0;
}

// Checks where a state's last frame leads.
static void checkEnding(CheckRun *run, const EntityData &ed, const State &s, const StatePlace &p) {
	if (s.loop < 0 && s.nextState.empty()) {
		addDiag(run, p.loopAt, SEV_ERROR,
		        "LOOP " + std::to_string(s.loop) +
		            " is negative: after the last frame the game looks for a state without a name");
	} else if (s.loop < 0 && stateNamed(ed, s.nextState) == nullptr) {
		addDiag(run, p.nextAt, SEV_ERROR,
		        "no state '" + s.nextState + "' in '" + ed.id + "' to go to after the last frame");
	} else if (s.loop >= 0 && !s.frames.empty() && s.loop >= (int)s.frames.size()) {
		addDiag(run, p.loopAt, SEV_ERROR,
		        "LOOP " + std::to_string(s.loop) + " is past the last frame of state '" + s.name + "' (frames 0 to " +
		            std::to_string(s.frames.size() - 1) + ")");
	}
	if (s.loop >= 0 && !s.nextState.empty() && p.nextAt != NO_POS) {
		addDiag(run, p.nextAt, SEV_NOTE, "NEXT_STATE " + s.nextState + " has no effect: the LOOP after it decides");
	}
}

// Checks one state of a template.
static void checkState(CheckRun *run, const EntityData &ed, size_t i, const StatePlace &p) {
	const State &s = ed.states[i];
	if (s.frames.empty()) {
		addDiag(run, p.at, SEV_ERROR, "state '" + s.name + "' has no frames");
	} else {
		checkEnding(run, ed, s, p);
	}
	if (stateNamed(ed, s.name) != &s) {
		addDiag(run, p.at, SEV_WARNING, "state '" + s.name + "' is defined again: the game switches to the first one");
	} else if (i > 0 && s.name != "DEATH" && !reached(ed, s.name)) {
		addDiag(run, p.at, SEV_WARNING, "no NEXT_STATE leads to state '" + s.name + "': it is never shown");
	}
	if (s.name == "DEATH" && stateNamed(ed, "DEATH") == &s && s.loop >= 0 && !framesRun(s, ef_die)) {
		addDiag(run, p.at, SEV_WARNING,
		        "state DEATH of '" + ed.id + "' loops without EF_DIE: the wreck stays in the world for good");
	}
	for (size_t j = 0; j < s.frames.size() && j < p.frames.size(); j++) {
		const Frame &f = s.frames[j];
		if (f.bitmap == nullptr || ed.w <= 0 || ed.h <= 0) {
			continue;
		}
		if (f.xoff >= ed.w || f.xoff + f.bitmap->w <= 0 || f.yoff >= ed.h || f.yoff + f.bitmap->h <= 0) {
			addDiag(run, p.frames[j], SEV_WARNING,
			        "the hit box (" + std::to_string(ed.w) + "x" + std::to_string(ed.h) +
			            ") does not overlap the picture (" + std::to_string(f.bitmap->w) + "x" +
			            std::to_string(f.bitmap->h) + " at " + std::to_string(f.xoff) + "," + std::to_string(f.yoff) +
			            ")");
		}
	}
}

// Checks one template as a whole.
static void checkTemplate(CheckRun *run, const EntityData &ed, const TemplatePlace &p) {
	for (size_t i = 0; i < ed.states.size() && i < p.states.size(); i++) {
		checkState(run, ed, i, p.states[i]);
	}
	if (ed.life >= 1 && stateNamed(ed, "DEATH") == nullptr) {
		addDiag(run, p.at, SEV_WARNING, "'" + ed.id + "' has no DEATH state: when killed it is removed at once");
	}
	int projectile = inList(PROJECTILE_IDS, COUNT_OF(PROJECTILE_IDS), ed.id) ||
	                 inList(PROJECTILE_TYPES, COUNT_OF(PROJECTILE_TYPES), ed.type);
	if (projectile && !(ed.flags & ENT_DIE_OOB_VPT)) {
		addDiag(run, p.at, SEV_WARNING,
		        "'" + ed.id + "' is a shot or bullet without FLAG ENT_DIE_OOB_VPT: it lives on off screen");
	}
	if (ed.w <= 0 || ed.h <= 0) {
		addDiag(run, p.at, SEV_NOTE, "'" + ed.id + "' has an empty hit box: it never collides");
	}
	for (size_t i = 0; i < ed.states.size(); i++) {
		if (framesRun(ed.states[i], ef_player_gone) && ed.var.find("LIVES") == ed.var.end()) {
			addDiag(run, p.at, SEV_NOTE,
			        "'" + ed.id + "' runs EF_PLAYER_GONE without a VAR LIVES: its first death ends the game");
			break;
		}
	}
}

// Checks what the file holds against what the game asks for and what USES names.
static void checkFile(CheckRun *run) {
	for (int i = 0; i < COUNT_OF(ASKED_IDS); i++) {
		if (getEData(ASKED_IDS[i], edlist) == nullptr) {
			addDiag(run, 0, SEV_ERROR, std::string("no template '") + ASKED_IDS[i] + "': the game asks for it");
		}
	}
	for (size_t i = 0; i < run->uses.size(); i++) {
		if (getEData(run->uses[i].id, edlist) == nullptr) {
			addDiag(run, run->uses[i].at, SEV_ERROR, "USES '" + run->uses[i].id + "': no template of that id");
		}
	}
	for (size_t i = 0; i < run->candidates.size(); i++) {
		const UsesPlace &c = run->candidates[i];
		const TemplatePlace *first = findPlace(run, c.id);
		if (first != nullptr && first->at != c.at) {
			addDiag(run, c.at, SEV_WARNING,
			        "'" + c.id + "' is defined again: the game uses the block at line " +
			            std::to_string(lineOf(run, first->at)));
		} else if (!inList(ASKED_IDS, COUNT_OF(ASKED_IDS), c.id) && !usedByUses(run, c.id)) {
			addDiag(run, c.at, SEV_WARNING,
			        "nothing uses '" + c.id + "': the game never asks for it and no USES names it");
		}
	}
}

// Runs every check on the registered templates.
void checkTemplates(CheckRun *run) {
	for (size_t i = 0; i < edlist.size(); i++) {
		const TemplatePlace *p = findPlace(run, edlist[i].id);
		if (p != nullptr) {
			checkTemplate(run, edlist[i], *p);
		}
	}
	checkFile(run);
}
