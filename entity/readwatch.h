// A watcher over the entity definition reader. A tool that explains a file to its author
// learns, for each token the reader decides on, what the reader made of it and where it
// stood. The game sets none; the reader then behaves and reports exactly as without it.
#ifndef ENTITY_READWATCH_H
#define ENTITY_READWATCH_H

#include <string>

// What the reader decided about a token.
enum readEvent_t {
	READ_CANDIDATE,     // the scan took the token after ENTITY as a block's id
	READ_BEGIN,         // the block asked for starts: its id
	READ_END,           // the block was read up to END_ENTITY
	READ_CUT,           // the block's reading stopped before END_ENTITY
	READ_SKIPPED,       // a token of a block that no template keyword took, skipped silently
	READ_UNRECOGNIZED,  // a token of a state or frame section that is no keyword there
	READ_EOF,           // a value is missing (or VAR's is not a number): the template ends here
	READ_SATURATED,     // a number beyond the int range, held at its end
	READ_UNKNOWN_FLAG,  // FLAG with a name ent_flags_table lacks
	READ_UNKNOWN_EF,    // ENTER or EXIT with a name ent_fun_table lacks
	READ_USES,          // USES and the id it names
	READ_USES_CYCLE,    // USES of a template that is being read already: ignored
	READ_USES_DEEP,     // USES beyond the deepest chain allowed: ignored
	READ_STATE,         // a state section starts: its name
	READ_STATE_CUT,     // the state section had no END_STATE and is dropped
	READ_FRAME,         // a frame section starts: its image token
	READ_FRAME_CUT,     // the frame section had no END_FRAME and is dropped
	READ_IMAGE_FAILED,  // the frame's image could not be loaded or converted
	READ_LOOP,          // LOOP's value
	READ_NEXT_STATE     // NEXT_STATE's value
};

// Receives one decision: the watcher's context, the event, the byte offset in the file of
// the token concerned, and the token (empty where the reader holds none).
typedef void (*ReadWatchFn)(void *ctx, readEvent_t ev, long at, const std::string &tok);

struct ReadWatch {
	ReadWatchFn fn;
	void *ctx;
};

extern ReadWatch *readWatch;  // null: nobody watches

#endif
