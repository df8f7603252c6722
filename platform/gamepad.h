// A gamepad as a second keyboard: the stick and the d-pad hold the arrows, the buttons hold
// Space, P and Escape, in the same key array the rules read. Without a pad nothing changes.
#ifndef PLATFORM_GAMEPAD_H
#define PLATFORM_GAMEPAD_H

#include <SDL.h>

// Buttons as SDL 1.2 numbers them on Linux for an Xbox-style pad (A, B, X, Y, LB, RB, Back, Start).
#define PAD_BUTTON_FIRE  0   // A: fires like Space
#define PAD_BUTTON_BACK  6   // Back (Select): quits like Escape
#define PAD_BUTTON_START 7   // Start: pauses like P
#define PAD_BUTTONS      11  // buttons read, from 0

// How far from the centre the stick must lean, of 32767, before it counts as an arrow.
#define PAD_STICK_DEAD_ZONE 12000

// One reading of a pad: the stick's two axes, the d-pad's hat and the buttons held.
struct PadState {
	int x = 0;           // stick, -32768 (left) to 32767 (right)
	int y = 0;           // stick, -32768 (up) to 32767 (down)
	Uint8 hat = 0;       // SDL_HAT_* bits of the d-pad
	Uint32 buttons = 0;  // bit b set while button b is held
};

void init_pad();
void readPad(PadState *state);
void padKeys(const PadState &pad, Uint8 *keyState);

#endif
