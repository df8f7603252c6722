// A tiny check harness for the art tools' tests: groups of named checks,
// a failure line for each miss, and one summary line at the end.
#pragma once

#include <cstdio>

struct TestTally {
	int passed;
	int failed;
};

extern TestTally tally;

// records one check; prints the failing expression and where it is
#define CHECK( cond ) Test_Record( ( cond ), #cond, __FILE__, __LINE__ )

void	Test_Record( bool ok, const char *what, const char *file, int line );
void	Test_Group( const char *name );

void	Units_Run( void );
void	Layers_Run( void );
void	Outputs_Run( const char *root );
void	Fresh_Run( const char *root );
