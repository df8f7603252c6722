// Tests of the drawings themselves, made in memory: the background's river,
// coast and buildings, and the sprites' animations and frame edges.
#include "test.h"
#include "img.h"
#include "noise.h"
#include "bg.h"
#include "sprites.h"

#include <cmath>
#include <string>

// the river keeps its whole width inside the field below the base
static void Test_River( void ) {
	Test_Group( "river and coast" );
	bool inside = true, sane = true;
	for ( int y = 800; y < BG_H; y += 5 ) {
		float slope;
		float cx = River_Centre( (float)y, &slope );
		float half = River_HalfWidth( (float)y );
		sane = sane && half > 6.0f && half < 40.0f;
		inside = inside && cx - half > 8.0f && cx + half < BG_W - 8.0f;
	}
	CHECK( inside );
	CHECK( sane );
	// it enters from the right edge below the base fence
	CHECK( River_Centre( 560.0f, nullptr ) > BG_W );
	bool shore = true;
	for ( int x = 0; x < BG_W; x++ ) {
		float s = Coast_Shoreline( (float)x );
		shore = shore && s > 6200.0f && s < 6340.0f;
	}
	CHECK( shore );
}

// the use mask guards the edges; a building claims its pixels and throws its
// shadow down and to the right, with the roof half facing the light brighter
static void Test_Building( void ) {
	Test_Group( "land and buildings" );
	static Land land;
	Land_Init( land );
	CHECK( Land_Use( land, -1, 5 ) == USE_BUILDING && Land_Use( land, 5, BG_H ) == USE_BUILDING );
	CHECK( Land_AreaFree( land, 10, 10, 40, 40 ) );
	CHECK( !Land_AreaFree( land, BG_W - 5, 10, BG_W + 5, 20 ) );
	for ( int y = 90; y < 130; y++ ) {
		for ( int x = 90; x < 130; x++ ) {
			Img_Set( land.img, x, y, Col_Make( 100, 100, 100 ) );
		}
	}
	Building_Draw( land, 100, 100, 14, 8, Col_Make( 120, 60, 40 ), USE_BUILDING );
	CHECK( Land_Use( land, 100, 100 ) == USE_BUILDING && Land_Use( land, 113, 107 ) == USE_BUILDING );
	CHECK( Land_Use( land, 114, 100 ) == USE_GROUND && Land_Use( land, 99, 100 ) == USE_GROUND );
	CHECK( !Land_AreaFree( land, 95, 95, 101, 101 ) );
	CHECK( Img_Get( land.img, 115, 109 ).r < 80.0f );
	CHECK( Img_Get( land.img, 99, 99 ).r == 100.0f && Img_Get( land.img, 115, 99 ).r == 100.0f );
	CHECK( Col_Luma( Img_Get( land.img, 106, 102 ) ) > Col_Luma( Img_Get( land.img, 106, 105 ) ) );
}

// pixels of one column of a picture, rows y0..y1, as one vector
static std::vector<unsigned char> Column( const Image &img, int x, int y0, int y1 ) {
	std::vector<unsigned char> out;
	for ( int y = y0; y <= y1; y++ ) {
		const unsigned char *p = &img.px[( (size_t)y * img.w + x ) * 3];
		out.insert( out.end(), p, p + 3 );
	}
	return out;
}

// the tread bars roll exactly one pixel a frame, and frame 4 leads into frame 1
static void Test_TankTreads( void ) {
	Test_Group( "tank treads" );
	Image t[TANK_FRAMES];
	for ( int i = 0; i < TANK_FRAMES; i++ ) {
		Draw_Tank( t[i], i );
	}
	bool rolls = true;
	for ( int i = 0; i < TANK_FRAMES; i++ ) {
		const Image &a = t[i], &b = t[( i + 1 ) % TANK_FRAMES];
		// an outer column of each track, clear of the hull
		for ( int x : { 4, 27 } ) {
			rolls = rolls && Column( a, x, 4, 26 ) == Column( b, x, 5, 27 );
		}
	}
	CHECK( rolls );
	Image again;
	Draw_Tank( again, 2 );
	CHECK( again.px == t[2].px );
}

// explosions never touch the frame edge, so nothing is cut off straight
static void Test_BoomEdges( void ) {
	Test_Group( "explosion frames" );
	bool clear = true;
	for ( int big = 0; big < 2; big++ ) {
		int size = big ? BOOM_L_SIZE : BOOM_S_SIZE;
		int frames = big ? BOOM_L_FRAMES : BOOM_S_FRAMES;
		for ( int f = 0; f < frames; f++ ) {
			Image img;
			Draw_Boom( img, size, frames, f, big ? 29 : 11 );
			for ( int i = 0; i < size; i++ ) {
				clear = clear && Img_IsKey( img, i, 0 ) && Img_IsKey( img, i, size - 1 )
					&& Img_IsKey( img, 0, i ) && Img_IsKey( img, size - 1, i );
			}
		}
	}
	CHECK( clear );
	Image a, b;
	Draw_Boom( a, 32, 6, 2, 11 );
	Draw_Boom( b, 32, 6, 2, 12 );
	CHECK( a.px != b.px );
}

// drawing is free of hidden state: a second pass over every file is identical
static void Test_Repeatable( void ) {
	Test_Group( "repeatable drawing" );
	std::vector<std::vector<unsigned char>> first;
	std::string name;
	for ( int i = 0; i < Art_Count(); i++ ) {
		Image img;
		Art_Render( i, img, name );
		first.push_back( img.px );
	}
	bool same = true;
	for ( int i = Art_Count() - 1; i >= 0; i-- ) {
		Image img;
		Art_Render( i, img, name );
		same = same && img.px == first[i];
	}
	CHECK( same );
	CHECK( Art_Count() == 27 + 1 );
	Image out;
	Art_Render( Art_Count(), out, name );
	CHECK( name.empty() && out.w == 0 );
	// the player's longer flame frame reaches further down
	Image p1, p2;
	Draw_Player( p1, 0 );
	Draw_Player( p2, 1 );
	CHECK( !Img_IsKey( p1, 14, 38 ) && Img_IsKey( p2, 14, 38 ) );
}

// every layer and drawing group
void Layers_Run( void ) {
	Test_River();
	Test_Building();
	Test_TankTreads();
	Test_BoomEdges();
	Test_Repeatable();
}
