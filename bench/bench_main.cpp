// The benchmarks' entry: headless video, the repository root as working directory.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
	setenv("SDL_VIDEODRIVER", "dummy", 0);
	// the game's files are named relative to the repository root
	if (access("data/entity.dat", R_OK) != 0 && chdir(VORSKA_ROOT) != 0) {
		fprintf(stderr, "bench: cannot enter %s\n", VORSKA_ROOT);
		return 1;
	}
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
		return 1;
	}
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
