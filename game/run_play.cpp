// Playing a run back through the real start-up and main loop: every poll the game makes is
// answered from the run, the level is laid out with the run's draws, and a watcher at the
// window may pause, speed up or stop it. Headless, it plays as fast as it goes.
#include <algorithm>
#include <cstring>
#include "game/run.h"
#include "game/vorska.h"
#include "platform/message.h"

// The watcher's fastest speed, in game cycles a frame.
#define MAX_WATCH_SPEED 8
// Polls of one unchanged stretch of the pause shown at their pace, a millisecond each; the
// rest of a long pause is passed over, since nothing changes in it.
#define PAUSE_SHOWN_POLLS 2000

// The run being played and its watcher.
struct Playback {
	RunCursor cursor;
	bool headless = false;
	bool stopped = false;   // the watcher has stopped it
	bool paused = false;    // the watcher has paused it
	int speed = 1;          // game cycles a frame, 1 to MAX_WATCH_SPEED
	long pauseCycle = -1;   // the cycle the pause being shown was entered in
	Uint32 pauseTicks = 0;  // when its wait began
	long pausePolls = 0;    // its polls played since
};
static Playback pb;

// Takes the watcher's keys from the window: the game's own come from the run. Space pauses,
// Right doubles the speed and Left halves it, F11 switches the watcher's window to full screen
// and back (with the video-mode report, as the game does), Escape and the window's close stop.
static void watcherKeys() {
	SDL_Event ev;
	while (SDL_PollEvent(&ev)) {
		if (ev.type == SDL_QUIT) {
			pb.stopped = true;
		}
		if (ev.type != SDL_KEYDOWN) {
			continue;
		}
		int key = ev.key.keysym.sym;
		if (key == SDLK_ESCAPE) {
			pb.stopped = true;
		} else if (key == SDLK_SPACE) {
			pb.paused = !pb.paused;
		} else if (key == SDLK_RIGHT) {
			pb.speed = std::min(MAX_WATCH_SPEED, pb.speed * 2);
		} else if (key == SDLK_LEFT) {
			pb.speed = std::max(1, pb.speed / 2);
		} else if (key == SDLK_F11 && screen->toggleFullScreen()) {
			videoReport();
		}
	}
}

// Answers a poll from the run. The keys that work the window itself (F11, Alt+Enter), which no
// rule of play reads, are not passed on: the watcher's window is the watcher's, and the
// video-mode reports they would print tell of a display, not of the game.
// Past the run's end (or once stopped): a close request, with Escape going up at every other
// poll, which also ends a pause the run ends in.
static void playPoll() {
	if (!pb.stopped && nextPoll(pb.cursor)) {
		givePoll(pb.cursor.poll);
		keys[SDLK_F11] = 0;
		keys[SDLK_RETURN] = 0;
		keys[SDLK_LALT] = 0;
		keys[SDLK_RALT] = 0;
		mod = (SDLMod)(mod & ~KMOD_ALT);
		return;
	}
	memset(keys, 0, sizeof(keys));
	memset(events, 0, sizeof(events));
	mod = KMOD_NONE;
	keys[SDLK_ESCAPE] = prev[SDLK_ESCAPE] ? 0 : 1;
	events[SDL_QUIT] = 1;
}

// Whether the polls of the pause being shown run ahead of the time it has lasted, at the
// millisecond a poll the game waits between them.
static bool pauseAhead() {
	if (pb.pauseCycle != playedCycles) {
		pb.pauseCycle = playedCycles;
		pb.pauseTicks = SDL_GetTicks();
		pb.pausePolls = 0;
	}
	return ++pb.pausePolls > (long)(SDL_GetTicks() - pb.pauseTicks);
}

// Between two polls of the pause: whether to wait the millisecond, so that a watcher sees the
// pause last as long as it did (where a sleep lasts longer, as in the browser, the polls that
// fall behind are played without one). From the second poll of an unchanged stretch on the
// keys and the last keys are the same, so the rest of the stretch can change nothing and is
// passed over, once shown.
static bool playIdle() {
	if (!pb.headless) {
		watcherKeys();
	}
	if (pb.cursor.stretch >= (pb.headless ? 2 : PAUSE_SHOWN_POLLS)) {
		pb.cursor.left -= pb.cursor.repeat;
		pb.cursor.repeat = 0;
		return false;
	}
	return !pb.headless && pauseAhead();
}

// Whether the player's ship is exploding, or gone from the world (a file may remove it).
bool shipDown() {
	return player == nullptr || player->getState() == "DEATH";
}

// Starts looking at a game that has just started.
void startProgress(Progress &p) {
	p = Progress();
	p.start = env != nullptr ? env->cy : 0;
	p.down = shipDown();
}

// The share of the climb made now, 0 to 1.
double climbShare(const Progress &p) {
	return p.start > 0 ? 1.0 - env->cy / p.start : 1.0;
}

// Looks at the game after a cycle; 1 when the ship has gone down since the last look.
int noteProgress(Progress &p) {
	int down = shipDown();
	int lost = down && !p.down;
	p.cycles++;
	p.down = down;
	p.livesLost += lost;
	p.climbed = std::max(p.climbed, climbShare(p));
	if (env->cy == 0 && !down) {
		p.top = 1;
	}
	return lost;
}

// Runs the cycles of the run until the game or the run ends or the watcher stops it. Headless
// every pass is a cycle; watched, a pass runs the watcher's speed of cycles when the game's
// timer has one due, and shows the last.
static void playCycles(Font *font, Progress &progress) {
	for (;;) {
		if (!pb.headless) {
			watcherKeys();
		}
		if (pb.stopped || gameover != 0 || pb.cursor.left <= 0) {
			return;
		}
		int due = pb.headless ? 1 : (!pb.paused && cycles >= 1 ? pb.speed : 0);
		for (int i = 0; i < due && gameover == 0 && pb.cursor.left > 0; i++) {
			cycles = 1;
			if (!gameCycle(font)) {
				return;
			}
			drawWorld();
			noteProgress(progress);
		}
		if (!pb.headless) {
			showFrame(font);
		}
	}
}

// Plays run back with the game's data in the working folder, in a window, or headless on
// SDL's dummy driver as fast as it goes; name is what the messages call it. The exit status:
// RUN_REFUSED when the data differ from the run's, RUN_OUT_OF_STEP when the game did not end
// where the run did. progress, when given, tells how far the game came.
int playRun(const Run &run, const std::string &name, bool headless, Progress *progress) {
	std::string differs = dataFileDiffers(run.files);
	if (!differs.empty()) {
		writeMessage(MESSAGE_ERR, name + ": the run was played on other data: " + differs + "\n");
		return RUN_REFUSED;
	}
	pb = Playback();
	pb.headless = headless;
	startCursor(pb.cursor, run);
	PollHooks before = pollHooks;
	pollHooks = PollHooks{playPoll, before.tap, playIdle};
	playDraws(&run.draws);
	long first = playedCycles;
	Font *font = startGame();
	Progress seen;
	startProgress(seen);
	playCycles(font, seen);
	long played = playedCycles - first;
	pollHooks = before;
	playDraws(nullptr);
	delete font;
	if (progress != nullptr) {
		*progress = seen;
	}
	if (pb.stopped) {
		return RUN_PLAYED;
	}
	if (pb.cursor.left > 0 || (!run.cut && played != run.cycles)) {
		writeMessagef(MESSAGE_ERR, "%s: the game went out of step with the run: it ended after %ld of its %ld cycles\n",
		              name.c_str(), played, run.cycles);
		return RUN_OUT_OF_STEP;
	}
	return RUN_PLAYED;
}

// Reads the run file at path and plays it back (see playRun).
int playRunFile(const std::string &path, bool headless) {
	Run run;
	std::string why;
	if (!readRun(path, run, why)) {
		writeMessage(MESSAGE_ERR, path + ": " + why + "\n");
		return RUN_REFUSED;
	}
	return playRun(run, path, headless, nullptr);
}
