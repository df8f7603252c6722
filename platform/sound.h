// The game's sound: an effect for each event the game knows and a music loop under the level,
// played through SDL_mixer. Which file sounds for which event, how loud and with how many voices
// at once is data (SOUND_MAP_FILE). Every call is safe and silent when sound is off: no device,
// no map, or nothing loaded. Playing never allocates and never waits for the sound device.
#ifndef PLATFORM_SOUND_H
#define PLATFORM_SOUND_H

#include <string>

// The map of events to sound files.
#define SOUND_MAP_FILE "data/sound.dat"

// What the game plays a sound for; the map names them in this order.
enum SoundEvent {
	// the player fires a volley
	SOUND_VOLLEY,
	// an enemy in sight fires one of its patterns
	SOUND_FIRE_AIMED,
	SOUND_FIRE_LEAD,
	SOUND_FIRE_SPREAD,
	SOUND_FIRE_LINE,
	SOUND_FIRE_WAVE,
	// a death, by the size of the one dying
	SOUND_DEATH_SMALL,
	SOUND_DEATH_LARGE,
	SOUND_DEATH_SHIP,
	// the ship's wreck has burnt out and a life is gone; the ship comes back
	SOUND_LIFE_LOST,
	SOUND_RETURN,
	// the pause begins and ends
	SOUND_PAUSE,
	SOUND_RESUME,
	// the loop under the level, from start-up on
	SOUND_MUSIC,
	SOUND_EVENTS
};

// One event's line of the map.
struct SoundLine {
	std::string file;
	int levelPercent = 0;
	int voices = 0;  // 0 while the event is not in the map
};

struct Mix_Chunk;

void openSound(const char *mapFile);
void closeSound();
void playSound(SoundEvent event);
bool soundAsked(SoundEvent event);
void flushSounds();
void toggleMute();
void holdSounds(bool held);
// How many of the event's voices are heard now: sounding, and not held by the pause.
int voicesHeard(SoundEvent event);

// Reads the text of a map into lines, one for each event; returns how many of its lines are
// ignored, with the number of the first and what is wrong with it.
int readSoundMapText(const std::string &text, SoundLine lines[SOUND_EVENTS], int *firstNumber, std::string *first);
// The sound in data, a WAV file whose every chunk lies within it; null, with why set, when
// it cannot be had.
Mix_Chunk *decodeSound(const std::string &data, std::string &why);

#endif
