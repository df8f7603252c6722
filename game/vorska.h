// The main module: the game's globals, start-up, the main loop, the rules of play, pause and debug.
#ifndef GAME_VORSKA_H
#define GAME_VORSKA_H

#include <SDL.h>
#include "display/screen.h"
#include "display/env.h"
#include "display/font.h"
#include "entity/entity.h"
#include "entity/gamestate.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/timer.h"

extern Viewport *vp;     // the play viewport
extern Viewport *debug;  // the debug overlay viewport


// How far the ship moves in a cycle while an arrow key is held.
#define PLAYER_STEP 4

int SDL_main(int argc, char **argv);

// start-up and the main loop
Font *startUp();             // every start-up step; returns the game's font
Font *startGame();           // start-up, then the level shown before its first cycle
void videoReport();          // the five-line video-mode report
int loopPass(Font *font);    // one pass of the main loop; 0 when the loop must end
int gameCycle(Font *font);   // one game cycle; 0 when a quit was seen
void drawPass(Font *font);   // background, entities, overlay, flip
void drawWorld();            // background and entities, removing those gone out of view
void showFrame(Font *font);  // the overlay and the flip

// the player's controls
void fireControl();
void fireVolley();
void moveControl();
void muteControl();        // M mutes and unmutes, in play, while the ship is down and in the pause
void fullScreenControl();  // F11 or Alt+Enter: full screen or the window, wherever M works
void pauseGame(Font *font);
int pauseStep(int *phase);  // one step of the pause wait after a poll; 1 when it is over

// rules of play
void setupLevel();
void worldStep();
void endOfField();
void movementPass();
void collisionPass();           // every colliding pair, through a grid of cells
void collisionPassReference();  // the same over every pair in list order, for comparison
// Called with receiver and partner before each doCollision of either pass, when set.
extern void (*collisionTrace)(Entity *a, Entity *b);
// Collisions the pass made at once, counted one by one, without calling doCollision (nor
// the tracer) for each: collisions between piles of alike entities that change only lives.
extern long collisionsSummed;
// The fewest entities of a pile ahead of the receiver, or stacks of the pile under the cell
// where their boxes start, for which its collisions are made at once: below, making them one
// by one costs less.
extern int collisionPileSize;
// The fewest burning entities for which the pass sums their collisions with each other
// (game/collide_batch.h): below, making them one by one costs less.
extern int collisionBatchSize;
// The collisions for each entity, made one by one or summed, of a pass after which the next
// batches the living too: the batch costs some microseconds an entity, which a sparse world
// does not pay back. (A world that grew to twice its entities batches them at once.)
extern int collisionBatchPairs;
// The fewest live entities for which a pass counts how its living crowd, to batch them in the
// very pass they come together: below, the count costs more than a crowd forming at once.
extern int collisionCrowdSize;

// debug keys and the overlay
void debugKeys(Font *font);
void cameraPan();
void drawDebug(Font *font);

#endif
