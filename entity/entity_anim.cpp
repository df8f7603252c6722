// Entity animation: states, frames and the frame clock. Frame behaviours run from here and may
// switch or remove the entity, so after each call that can run one we look at `removed` first.
#include "entity/entity.h"
#include "entity/report.h"

long frameChanges = 0;

// Switches to the state named s at its frame 0; 1 on success or when already in it.
int Entity::setState(const std::string &s) {
	if (removed) {
		return 0;
	}
	if (!data) {
		reportLine({"Entity::setState: ", name, " has no EData"});
		return 0;
	}
	if (state && state->name == s) {
		return 1;
	}
	State *found = nullptr;
	for (size_t i = 0; i < data->states.size(); i++) {
		if (data->states[i].name == s) {
			found = &data->states[i];
			break;
		}
	}
	if (!found) {
		reportLine({"Entity::setState: ", name, " has no \"", s, "\" state"});
		return 0;
	}
	state = found;
	setFrame(0);
	return 1;
}

// The name of the current state; empty for an entity without one.
std::string Entity::getState() {
	if (!state) {
		return "";
	}
	return state->name;
}

// Reports a frame index that the current state does not have.
static void badFrame(const State *st, unsigned int i) {
	reportLine({"Entity::setFrame: ", st ? std::string_view(st->name) : std::string_view(), " does not have a frame #",
	            std::to_string(i)});
}

// Switches to frame i of the current state, running the old frame's exit and the new one's enter.
void Entity::setFrame(unsigned int i) {
	if (removed) {
		return;
	}
	frameChanges++;
	if (!state || i >= state->frames.size()) {
		badFrame(state, i);
		return;
	}
	if (frame && frame->exit) {
		frame->exit(this);
		if (removed) {
			return;
		}
		// The exit behaviour may have switched state; the index must fit the state now current.
		if (!state || i >= state->frames.size()) {
			badFrame(state, i);
			return;
		}
	}
	framectr = 0;
	curframe = i;
	frame = &state->frames[i];
	if (frame->enter) {
		frame->enter(this);
	}
}

// Moves on to the next frame, or at the end of the state to its loop frame or next state.
void Entity::nextFrame() {
	if (removed || !state) {
		return;
	}
	if ((size_t)curframe + 1 < state->frames.size()) {
		setFrame(curframe + 1);
		return;
	}
	if (state->loop < 0) {
		setState(state->nextState);
		return;
	}
	setFrame((unsigned int)state->loop);
}

// Counts n game cycles in the current frame and moves on once its delay is passed.
void Entity::addAnimPhase(int n) {
	if (removed) {
		return;
	}
	framectr += n;
	if (!frame) {
		reportLine({"Entity::addAnimPhase: ", name, ": No current frame"});
		return;
	}
	if (framectr > frame->delay) {
		nextFrame();
	}
}
