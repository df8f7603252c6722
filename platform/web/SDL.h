// SDL 1.2 as the game calls it, on top of the browser's SDL (emscripten's), which numbers keys
// and events as SDL 1.3 does and leaves parts of 1.2 out. Only the browser build sees this
// header: scripts/web.sh puts its folder first on the include path, so that the game's own
// sources stay as they are. What differs is made good in platform/web/sdl12.cpp.
#ifndef PLATFORM_WEB_SDL_H
#define PLATFORM_WEB_SDL_H

#include_next <SDL.h>

// SDL 1.2's codes for the arrows, which SDL 1.3 numbers otherwise; the key array the rules
// read is indexed by SDL 1.2's codes.
#define SDLK_UP    273
#define SDLK_DOWN  274
#define SDLK_RIGHT 275
#define SDLK_LEFT  276

// SDL 1.2's number for a close request; the browser's events are renumbered as they are taken.
enum { WEB_SDL_QUIT = SDL_QUIT };  // the browser's own number, kept before the name is taken
#define SDL_QUIT 12

// As SDL 1.2's SDL_main.h does where SDL supplies the entry: the game's main is renamed, and the
// entry in platform/web/sdl12.cpp calls it.
#define main webMain
int webMain(int argc, char **argv);

// What SDL 1.2 has and the browser's SDL lacks.
Uint8 *SDL_GetKeyState(int *numkeys);

// Calls that the browser's SDL makes differently, made as SDL 1.2 makes them.
#define SDL_SetVideoMode  webSetVideoMode
#define SDL_Flip          webFlip
#define SDL_PollEvent     webPollEvent
#define SDL_AddTimer      webAddTimer
#define SDL_SetColorKey   webSetColorKey
#define SDL_FreeSurface   webFreeSurface
#define SDL_LockSurface   webLockSurface
#define SDL_UnlockSurface webUnlockSurface
#define SDL_FillRect      webFillRect
#undef SDL_BlitSurface
#define SDL_BlitSurface       webBlitSurface
#define SDL_JoystickNumHats   webJoystickNumHats
#define SDL_JoystickGetHat    webJoystickGetHat
#define SDL_JoystickGetButton webJoystickGetButton
#define SDL_Quit              webQuit

SDL_Surface *webSetVideoMode(int width, int height, int bpp, Uint32 flags);
int webFlip(SDL_Surface *screen);
int webPollEvent(SDL_Event *event);
SDL_TimerID webAddTimer(Uint32 interval, SDL_TimerCallback callback, void *param);
int webSetColorKey(SDL_Surface *surface, Uint32 flag, Uint32 key);
void webFreeSurface(SDL_Surface *surface);
int webLockSurface(SDL_Surface *surface);
void webUnlockSurface(SDL_Surface *surface);
int webFillRect(SDL_Surface *surface, SDL_Rect *rect, Uint32 color);
int webBlitSurface(SDL_Surface *source, SDL_Rect *from, SDL_Surface *target, SDL_Rect *to);
int webJoystickNumHats(SDL_Joystick *joystick);
Uint8 webJoystickGetHat(SDL_Joystick *joystick, int hat);
Uint8 webJoystickGetButton(SDL_Joystick *joystick, int button);
void webQuit(void);

#endif
