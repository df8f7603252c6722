// Worlds for the benchmarks: the sample level as the game starts it, the same level after
// some seconds of play, and crowded stress worlds; each can be saved once and restored often.
#ifndef BENCH_BENCH_WORLD_H
#define BENCH_BENCH_WORLD_H

#include <benchmark/benchmark.h>
#include <vector>
#include "game/vorska.h"

// A copy of the world list, the player and the camera.
struct WorldSave {
	std::vector<Entity> ents;  // in list order
	int playerAt;              // index of the player in ents, -1 without one
	int cx;
	int cy;
};

// Sends file descriptors 1 and 2 to /dev/null while it lives.
class Quiet {
public:
	Quiet();
	~Quiet();

private:
	int out;
	int err;
};

// The game's start-up with the headless video; the font it made. Runs once per process.
Font *benchGame();

// Copies the world into save.
void saveWorld(WorldSave *save);
// Replaces the world with the saved one.
void restoreWorld(const WorldSave &save);

// The level as the start-up leaves it.
void startUpWorld();
// The level after the given game cycles of play with the player firing all the time.
void playedWorld(int cycles);
// The level after 600 cycles of play with the player firing, saved on first use.
const WorldSave &playedSave();
// The start-up level crowded to n live entities: tanks over the field, bullets and shots in
// the camera window, all moving as in play.
void stressWorld(int n);

// The start-up level with bullets piled at rest on the player up to the limit of live
// entities: one group in one place, none leaving the camera window. Each bullet hits the
// player; the pile dies over three cycles (the bullets' death takes that long) and leaves.
void limitWorld();

// Makes the Bullet template one whose entities spawn themselves: every frame of its first
// state lasts one cycle and fires a line wave of bullets, and its bullets stay when they
// leave the camera window. The template is put back as it was when the object goes.
class SelfSpawningBullets {
public:
	SelfSpawningBullets();
	~SelfSpawningBullets();

private:
	EntityData kept;
};

// One game cycle's world work: the world step and the destruction of what it removed.
void stepWorld();

// Runs work once per iteration on a world restored from save every `every` iterations, the
// clock stopped while restoring; reports the live entities the work met on average.
void runOnWorld(benchmark::State &state, const WorldSave &save, int every, void (*work)());

#endif
