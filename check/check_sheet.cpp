// The sheet: every template on one picture, one block per template and one row per state,
// each frame's picture at its offset with its picture box in grey and the hit box in red.
#include "check/check.h"

#include <algorithm>
#include <cstdio>
#include "display/font.h"
#include "display/mySDL.h"
#include "art/img.h"

#define SHEET_WIDTH      1280                 // lines of frames wrap before this
#define SHEET_MAX_PIXELS (48L * 1024 * 1024)  // beyond this the sheet is refused, not drawn
#define MARGIN           8                    // around the sheet and between blocks
#define GAP              10                   // between frame cells
#define TEXT_LINE        15                   // one line of the game's small font
#define FONT_DIR         "font_sm"

// Colours of the sheet.
static const Uint8 BACK_RGB[3] = {36, 36, 44};
static const Uint8 RULE_RGB[3] = {80, 80, 96};
static const Uint8 PICTURE_RGB[3] = {200, 200, 200};  // as the game's debug view draws them
static const Uint8 HITBOX_RGB[3] = {250, 0, 0};

// What drawing needs: the canvas (null while only measuring) and the two fonts.
struct Sheet {
	SDL_Surface *canvas;
	Font *text;    // labels
	Font *title;   // template headers
	int labelCol;  // width of the state name column
	int width;     // widest line placed so far
};

// The box around a template's hit box and all its pictures, from the entity's position.
struct Extent {
	int x0, y0, x1, y1;
};

// The extent of a template, so that every frame of it stands at the same origin in its cell.
static Extent templateExtent(const EntityData &ed) {
	Extent e = {0, 0, std::max(ed.w, 1), std::max(ed.h, 1)};
	for (size_t i = 0; i < ed.states.size(); i++) {
		for (size_t j = 0; j < ed.states[i].frames.size(); j++) {
			const Frame &f = ed.states[i].frames[j];
			if (f.bitmap != nullptr) {
				e.x0 = std::min(e.x0, f.xoff);
				e.y0 = std::min(e.y0, f.yoff);
				e.x1 = std::max(e.x1, f.xoff + f.bitmap->w);
				e.y1 = std::max(e.y1, f.yoff + f.bitmap->h);
			}
		}
	}
	return e;
}

// The name of a bound behaviour, as the file writes it.
static std::string behaviourName(EFHandle h) {
	for (EFTable::const_iterator it = ent_fun_table.begin(); it != ent_fun_table.end(); ++it) {
		if (it->second == h) {
			return it->first;
		}
	}
	return "?";
}

// The label lines under a frame: index and delay, then its enter and exit behaviours.
static std::vector<std::string> frameLabels(size_t index, const Frame &f) {
	std::vector<std::string> lines(1, "#" + std::to_string(index) + " d" + std::to_string(f.delay));
	if (f.enter != nullptr) {
		lines.push_back("> " + behaviourName(f.enter));
	}
	if (f.exit != nullptr) {
		lines.push_back("< " + behaviourName(f.exit));
	}
	return lines;
}

// What follows a state's last frame.
static std::string rowEnd(const State &s) {
	return s.loop < 0 ? "NEXT_STATE " + s.nextState : "LOOP " + std::to_string(s.loop);
}

// Draws the outline of a rectangle given by its corner and size.
static void outline(SDL_Surface *c, int x, int y, int w, int h, const Uint8 *rgb) {
	if (w <= 0 || h <= 0) {
		return;
	}
	drawLine32(c, x, y, x + w - 1, y, rgb[0], rgb[1], rgb[2]);
	drawLine32(c, x, y + h - 1, x + w - 1, y + h - 1, rgb[0], rgb[1], rgb[2]);
	drawLine32(c, x, y, x, y + h - 1, rgb[0], rgb[1], rgb[2]);
	drawLine32(c, x + w - 1, y, x + w - 1, y + h - 1, rgb[0], rgb[1], rgb[2]);
}

// Draws one frame in its cell: picture, picture box, hit box, labels.
static void drawFrame(Sheet *sh, const EntityData &ed, const Extent &e, const Frame &f,
                      const std::vector<std::string> &labels, int x, int y) {
	int ox = x - e.x0;
	int oy = y - e.y0;
	if (f.bitmap != nullptr) {
		blit(f.bitmap, 0, 0, f.bitmap->w, f.bitmap->h, sh->canvas, ox + f.xoff, oy + f.yoff);
		lock(sh->canvas);
		outline(sh->canvas, ox + f.xoff, oy + f.yoff, f.bitmap->w, f.bitmap->h, PICTURE_RGB);
		unlock(sh->canvas);
	}
	lock(sh->canvas);
	outline(sh->canvas, ox, oy, ed.w, ed.h, HITBOX_RGB);
	unlock(sh->canvas);
	for (size_t i = 0; i < labels.size(); i++) {
		sh->text->printsr(sh->canvas, x, y + (e.y1 - e.y0) + 2 + (int)i * TEXT_LINE, "%s", labels[i].c_str());
	}
}

// Places one state's row, wrapping its frames over lines; returns the row's height.
static int placeState(Sheet *sh, const EntityData &ed, const Extent &e, int labelLines, const State &s, int y) {
	int lineH = (e.y1 - e.y0) + 2 + labelLines * TEXT_LINE + GAP;
	int left = MARGIN + sh->labelCol;
	int x = left;
	int top = y;
	if (sh->canvas != nullptr) {
		sh->text->printsr(sh->canvas, MARGIN, y, "%s", s.name.c_str());
	}
	for (size_t j = 0; j < s.frames.size(); j++) {
		std::vector<std::string> labels = frameLabels(j, s.frames[j]);
		int w = e.x1 - e.x0;
		for (size_t k = 0; k < labels.size(); k++) {
			w = std::max(w, sh->text->strWidth("%s", labels[k].c_str()));
		}
		if (x > left && x + w > SHEET_WIDTH - MARGIN) {
			x = left;
			y += lineH;
		}
		if (sh->canvas != nullptr) {
			drawFrame(sh, ed, e, s.frames[j], labels, x, y);
		}
		sh->width = std::max(sh->width, x + w + MARGIN);
		x += w + GAP;
	}
	std::string end = rowEnd(s);
	if (sh->canvas != nullptr) {
		sh->text->printsr(sh->canvas, x, y + (e.y1 - e.y0) + 2, "%s", end.c_str());
	}
	sh->width = std::max(sh->width, x + sh->text->strWidth("%s", end.c_str()) + MARGIN);
	return y + lineH - top;
}

// Places one template's block at height y; returns the block's height.
static int placeTemplate(Sheet *sh, const EntityData &ed, int y) {
	Extent e = templateExtent(ed);
	int labelLines = 1;
	for (size_t i = 0; i < ed.states.size(); i++) {
		for (size_t j = 0; j < ed.states[i].frames.size(); j++) {
			labelLines = std::max(labelLines, (int)frameLabels(j, ed.states[i].frames[j]).size());
		}
	}
	int top = y;
	char title[512];
	snprintf(title, sizeof(title), "%s   %s %s  box %dx%d  life %d/%d  damage %d  flags %d", ed.id.c_str(),
	         ed.group.c_str(), ed.type.c_str(), ed.w, ed.h, ed.life, ed.maxlife, ed.damage, ed.flags);
	sh->width = std::max(sh->width, MARGIN + sh->title->strWidth("%s", title) + MARGIN);
	if (sh->canvas != nullptr) {
		lock(sh->canvas);
		drawLine32(sh->canvas, MARGIN, y, sh->canvas->w - MARGIN, y, RULE_RGB[0], RULE_RGB[1], RULE_RGB[2]);
		unlock(sh->canvas);
		sh->title->printsr(sh->canvas, MARGIN, y + 2, "%s", title);
	}
	y += TEXT_LINE + 2 + GAP;
	for (size_t i = 0; i < ed.states.size(); i++) {
		y += placeState(sh, ed, e, labelLines, ed.states[i], y);
	}
	return y - top + MARGIN;
}

// Places every template from the top; returns the sheet's height.
static int placeAll(Sheet *sh, const EDList &list) {
	const char *legend = "grey: picture   red: hit box   #frame dDELAY   > ENTER   < EXIT";
	sh->width = std::max(sh->width, MARGIN + sh->text->strWidth("%s", legend) + MARGIN);
	if (sh->canvas != nullptr) {
		sh->text->printsr(sh->canvas, MARGIN, MARGIN, "%s", legend);
	}
	int y = MARGIN + TEXT_LINE + MARGIN;
	for (size_t i = 0; i < list.size(); i++) {
		y += placeTemplate(sh, list[i], y);
	}
	return y;
}

// Copies the canvas into an RGB picture and writes it as PNG.
static int savePng(SDL_Surface *canvas, const std::string &out) {
	Image img;
	img.w = canvas->w;
	img.h = canvas->h;
	img.px.resize((size_t)img.w * img.h * 3);
	lock(canvas);
	for (int y = 0; y < img.h; y++) {
		const Uint32 *row = (const Uint32 *)((const Uint8 *)canvas->pixels + (size_t)y * canvas->pitch);
		for (int x = 0; x < img.w; x++) {
			unsigned char *p = &img.px[((size_t)y * img.w + x) * 3];
			SDL_GetRGB(row[x], canvas->format, &p[0], &p[1], &p[2]);
		}
	}
	unlock(canvas);
	return pngWrite(img, out);
}

// Draws every template of list on one picture and writes it to out as PNG; 1 on success.
int writeSheet(const EDList &list, const std::string &out) {
	Font text(FONT_DIR, 1.0f, 1.0f, 1.0f);
	Font title(FONT_DIR, 1.0f, 1.0f, 0.0f);  // the tint takes whole channels only
	Sheet sh = {nullptr, &text, &title, 0, 0};
	for (size_t i = 0; i < list.size(); i++) {
		for (size_t j = 0; j < list[i].states.size(); j++) {
			sh.labelCol = std::max(sh.labelCol, text.strWidth("%s", list[i].states[j].name.c_str()) + GAP);
		}
	}
	int height = placeAll(&sh, list);
	if ((long)sh.width * height > SHEET_MAX_PIXELS) {
		fprintf(stderr, "vorska-check: the sheet would be %d x %d pixels; not drawn\n", sh.width, height);
		return 0;
	}
	SDL_Surface *video = SDL_GetVideoSurface();
	sh.canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, sh.width, height, 32, video->format->Rmask, video->format->Gmask,
	                                 video->format->Bmask, 0);
	if (sh.canvas == nullptr) {
		fprintf(stderr, "vorska-check: cannot make a %d x %d sheet\n", sh.width, height);
		return 0;
	}
	SDL_FillRect(sh.canvas, nullptr, SDL_MapRGB(sh.canvas->format, BACK_RGB[0], BACK_RGB[1], BACK_RGB[2]));
	placeAll(&sh, list);
	int ok = savePng(sh.canvas, out);
	SDL_FreeSurface(sh.canvas);
	return ok;
}
