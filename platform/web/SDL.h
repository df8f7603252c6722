// SDL 1.2 as the game calls it, on top of the browser's SDL (emscripten's), which numbers keys
// and events as SDL 1.3 does and leaves parts of 1.2 out. Only the browser build sees this
// header: its folder stands first on the include path, so that the game's own sources stay as
// they are. Every call that differs has a stand-in, webName for SDL_Name, and the game reaches
// it by SDL 1.2's name through the renames at the end. The stand-ins live by SDL's subsystems:
// sdl_main.cpp (the entry, linked into the program itself), sdl_events.cpp (keys and events),
// sdl_timer.cpp, sdl_video.cpp and sdl_joystick.cpp; they define WEB_SDL_SEAM and call the
// browser's SDL by its own names.
#ifndef PLATFORM_WEB_SDL_H
#define PLATFORM_WEB_SDL_H

#include_next <SDL.h>

// SDL 1.2's codes for the arrows, which SDL 1.3 numbers otherwise; the key array the rules
// read is indexed by SDL 1.2's codes.
#define SDLK_UP    273
#define SDLK_DOWN  274
#define SDLK_RIGHT 275
#define SDLK_LEFT  276
// and for F11 and the Alt keys, which switch full screen: a run played back leaves them to its
// watcher
#define SDLK_F11  292
#define SDLK_RALT 307
#define SDLK_LALT 308

// SDL 1.2's number for a close request; the browser's events are renumbered as they are taken.
enum { WEB_SDL_QUIT = SDL_QUIT };  // the browser's own number, kept before the name is taken
#define SDL_QUIT 12
#ifndef WEB_SDL_SEAM
// and for the key events, which the watcher of a run played back takes; the seams take the
// browser's own
#define SDL_KEYDOWN 2
#define SDL_KEYUP   3
#endif

// the entry: the game's main, renamed as SDL 1.2's SDL_main.h renames it where SDL supplies
// the entry
int webMain(int argc, char **argv);
void webQuit(void);

// keys and events
Uint8 *webGetKeyState(int *numkeys);
int webPollEvent(SDL_Event *event);

// timers
SDL_TimerID webAddTimer(Uint32 interval, SDL_TimerCallback callback, void *param);

// video
SDL_Surface *webSetVideoMode(int width, int height, int bpp, Uint32 flags);
int webFlip(SDL_Surface *screen);
int webSetColorKey(SDL_Surface *surface, Uint32 flag, Uint32 key);
int webGetColorKey(SDL_Surface *surface, Uint32 *key);
SDL_Surface *webDisplayFormat(SDL_Surface *surface);
void webFreeSurface(SDL_Surface *surface);
int webLockSurface(SDL_Surface *surface);
void webUnlockSurface(SDL_Surface *surface);
int webFillRect(SDL_Surface *surface, SDL_Rect *rect, Uint32 color);
int webBlitSurface(SDL_Surface *source, SDL_Rect *from, SDL_Surface *target, SDL_Rect *to);
// by C's name, which the browser test calls it by
extern "C" int webWMToggleFullScreen(SDL_Surface *surface);

// joystick
int webJoystickNumHats(SDL_Joystick *joystick);
Uint8 webJoystickGetHat(SDL_Joystick *joystick, int hat);
Uint8 webJoystickGetButton(SDL_Joystick *joystick, int button);

#ifndef WEB_SDL_SEAM
#define main              webMain
#define SDL_Quit          webQuit
#define SDL_GetKeyState   webGetKeyState
#define SDL_PollEvent     webPollEvent
#define SDL_AddTimer      webAddTimer
#define SDL_SetVideoMode  webSetVideoMode
#define SDL_Flip          webFlip
#define SDL_SetColorKey   webSetColorKey
#define SDL_GetColorKey   webGetColorKey
#define SDL_DisplayFormat webDisplayFormat
#define SDL_FreeSurface   webFreeSurface
#define SDL_LockSurface   webLockSurface
#define SDL_UnlockSurface webUnlockSurface
#define SDL_FillRect      webFillRect
#undef SDL_BlitSurface
#define SDL_BlitSurface         webBlitSurface
#define SDL_WM_ToggleFullScreen webWMToggleFullScreen
#define SDL_JoystickNumHats     webJoystickNumHats
#define SDL_JoystickGetHat      webJoystickGetHat
#define SDL_JoystickGetButton   webJoystickGetButton
#endif

#endif
