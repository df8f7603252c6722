// The game's sound: an effect for each event the game knows and a music loop under the level,
// played through SDL_mixer. Which file sounds for which event, how loud and with how many voices
// at once is data (SOUND_MAP_FILE). Every call is safe and silent when sound is off: no device,
// no map, or nothing loaded. Playing never allocates and never waits for the sound device.
#ifndef PLATFORM_SOUND_H
#define PLATFORM_SOUND_H

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

void openSound(const char *mapFile);
void closeSound();
void playSound(SoundEvent event);
bool soundAsked(SoundEvent event);
void flushSounds();
void toggleMute();
void holdSounds(bool held);

#endif
