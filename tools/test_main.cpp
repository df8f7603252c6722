// checkart: unit tests of the generators' building blocks and, given the
// repository root, checks of the committed font, sprites and background.
// usage: checkart [repository-root]
#include "test.h"

TestTally tally = { 0, 0 };

// counts a check and reports it when it failed
void Test_Record( bool ok, const char *what, const char *file, int line ) {
	if ( ok ) {
		tally.passed++;
		return;
	}
	tally.failed++;
	printf( "FAIL %s:%d: %s\n", file, line, what );
}

// announces a group of related checks
void Test_Group( const char *name ) {
	printf( "-- %s\n", name );
}

int main( int argc, char **argv ) {
	Units_Run();
	Layers_Run();
	if ( argc > 1 ) {
		Outputs_Run( argv[1] );
		Fresh_Run( argv[1] );
	}
	printf( "%d passed, %d failed\n", tally.passed, tally.failed );
	return tally.failed ? 1 : 0;
}
