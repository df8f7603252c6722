// The enemy gunship helicopter, nose down, with a spinning main rotor.
#include "sprites.h"
#include "paint.h"
#include "noise.h"

#include <cmath>

static const float DEG = 0.01745329f;
static const float HUB_X = 32.0f;
static const float HUB_Y = 31.0f;
static const float BLADE_LEN = 27.0f;

static const Color HULL = { 112, 124, 88 };
static const Color HULL_DARK = { 84, 92, 66 };
static const Color GLASS = { 46, 104, 118 };
static const Color GUNMETAL = { 74, 76, 80 };
static const Color BLADE = { 70, 72, 78 };

// fills a polygon as a new part
static void Heli_Poly( Sprite &s, const float *xy, int n, const Paint &p ) {
	Mask m;
	Mask_Polygon( m, s.w, s.h, xy, n );
	Spr_Fill( s, m, p );
}

// fills an upright ellipse as a new part
static void Heli_Oval( Sprite &s, float cx, float cy, float rx, float ry, const Paint &p ) {
	Mask m;
	Mask_Ellipse( m, s.w, s.h, cx, cy, rx, ry, 0.0f );
	Spr_Fill( s, m, p );
}

// tail boom, stabiliser and the tail rotor seen edge-on
static void Heli_Tail( Sprite &s, int frame ) {
	static const float boom[] = { 30.0f, 28.0f, 34.0f, 28.0f, 33.2f, 5.0f, 30.8f, 5.0f };
	Heli_Poly( s, boom, 4, Paint_Make( HULL, MAT_MATTE, PROFILE_ROUND, 1.0f, 1.5f, 2.0f ) );
	static const float fin[] = { 24.0f, 11.0f, 40.0f, 11.0f, 39.0f, 14.0f, 25.0f, 14.0f };
	Heli_Poly( s, fin, 4, Paint_Make( HULL_DARK, MAT_MATTE, PROFILE_BEVEL, 1.5f, 1.0f, 1.5f ) );
	// the spinning tail rotor looks like a line whose length changes
	static const float halfLen[HELI_FRAMES] = { 5.0f, 2.0f, 3.6f };
	float h = halfLen[frame];
	float rotor[] = { 34.0f, 6.0f - h, 35.6f, 6.0f - h, 35.6f, 6.0f + h, 34.0f, 6.0f + h };
	Heli_Poly( s, rotor, 4, Paint_Make( BLADE, MAT_METAL, PROFILE_FLAT, 3.0f, 0.0f, 0.0f ) );
}

// stub wings with a rocket pod at each tip
static void Heli_Wings( Sprite &s ) {
	static const float wing[] = { 17.0f, 33.0f, 47.0f, 33.0f, 47.0f, 37.0f, 17.0f, 37.0f };
	Heli_Poly( s, wing, 4, Paint_Make( HULL_DARK, MAT_MATTE, PROFILE_BEVEL, 1.0f, 1.0f, 1.5f ) );
	for ( int side = 0; side < 2; side++ ) {
		float x = side == 0 ? 19.5f : 44.5f;
		Heli_Oval( s, x, 36.0f, 2.6f, 5.5f, Paint_Make( GUNMETAL, MAT_METAL, PROFILE_ROUND, 2.0f, 2.0f, 2.6f ) );
		// warheads showing at the front of the pod
		Spr_Plot( s, (int)x, 41, Col_Make( 180, 60, 40 ), MAT_MATTE );
		Spr_Plot( s, (int)x - 1, 40, Col_Make( 150, 50, 36 ), MAT_MATTE );
	}
}

// fuselage, engines, tandem canopy and chin gun
static void Heli_Body( Sprite &s ) {
	static const float body[] = { 28.5f, 23.0f, 35.5f, 23.0f, 39.5f, 32.0f, 39.5f, 44.0f, 37.0f, 51.0f,
		32.0f, 54.0f, 27.0f, 51.0f, 24.5f, 44.0f, 24.5f, 32.0f };
	Heli_Poly( s, body, 9, Paint_Make( HULL, MAT_MATTE, PROFILE_ROUND, 2.0f, 3.0f, 5.5f ) );
	for ( int side = 0; side < 2; side++ ) {
		float x = side == 0 ? 27.5f : 36.5f;
		Heli_Oval( s, x, 29.0f, 2.8f, 6.0f, Paint_Make( HULL_DARK, MAT_MATTE, PROFILE_ROUND, 4.0f, 2.0f, 2.8f ) );
		// exhaust soot at the back of each engine
		Spr_Plot( s, (int)x, 23, Col_Make( 34, 34, 34 ), MAT_MATTE );
		Spr_Plot( s, (int)x, 24, Col_Make( 44, 42, 40 ), MAT_MATTE );
	}
	Heli_Oval( s, 32.0f, 40.5f, 3.8f, 3.4f, Paint_Make( GLASS, MAT_GLASS, PROFILE_ROUND, 4.5f, 1.5f, 3.0f ) );
	Heli_Oval( s, 32.0f, 47.0f, 3.4f, 3.2f, Paint_Make( GLASS, MAT_GLASS, PROFILE_ROUND, 4.0f, 1.5f, 3.0f ) );
	static const float gun[] = { 31.0f, 52.0f, 33.0f, 52.0f, 33.0f, 59.0f, 31.0f, 59.0f };
	Heli_Poly( s, gun, 4, Paint_Make( GUNMETAL, MAT_METAL, PROFILE_ROUND, 3.0f, 1.0f, 1.0f ) );
	Heli_Oval( s, 32.0f, 53.0f, 2.2f, 2.0f, Paint_Make( GUNMETAL, MAT_METAL, PROFILE_ROUND, 3.5f, 1.5f, 2.0f ) );
}

// darker camouflage blotches over the painted (matte) parts
static void Heli_Camo( Sprite &s ) {
	for ( int y = 0; y < s.h; y++ ) {
		for ( int x = 0; x < s.w; x++ ) {
			Cel &c = s.cels[(size_t)y * s.w + x];
			if ( c.mat == MAT_MATTE && Noise_Fbm( x * 0.22f, y * 0.22f, 2, 31 ) < 0.42f ) {
				c.color = Col_Mix( c.color, Col_Make( 70, 66, 48 ), 0.45f );
			}
		}
	}
}

// four tapered blades and the hub, turned by an angle in degrees
static void Heli_Rotor( Sprite &s, float angle ) {
	int part = Spr_NewPart();
	for ( int k = 0; k < 4; k++ ) {
		float blade[] = { HUB_X - 1.3f, HUB_Y, HUB_X + 1.3f, HUB_Y, HUB_X + 1.0f, HUB_Y + BLADE_LEN,
			HUB_X - 1.0f, HUB_Y + BLADE_LEN };
		Poly_Rotate( blade, 4, HUB_X, HUB_Y, ( angle + k * 90.0f ) * DEG );
		Mask m;
		Mask_Polygon( m, s.w, s.h, blade, 4 );
		Spr_FillPart( s, m, Paint_Make( BLADE, MAT_METAL, PROFILE_FLAT, 9.0f, 0.0f, 0.0f ), part );
	}
	Mask m;
	Mask_Ellipse( m, s.w, s.h, HUB_X, HUB_Y, 2.6f, 2.6f, 0.0f );
	Spr_Fill( s, m, Paint_Make( GUNMETAL, MAT_METAL, PROFILE_ROUND, 9.0f, 1.5f, 2.6f ) );
}

// a helicopter frame: 64 x 64, rotor a third of a quarter turn further each frame
void Draw_Heli( Image &out, int frame ) {
	Sprite s;
	Spr_Init( s, HELI_SIZE, HELI_SIZE );
	Heli_Tail( s, frame );
	Heli_Wings( s );
	Heli_Body( s );
	Heli_Camo( s );
	Heli_Rotor( s, 20.0f + frame * 30.0f );
	Spr_Render( s, out );
}
