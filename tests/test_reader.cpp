// The definition file reader: each case is a file and the ids loaded from it (tests/data/reader.cases);
// what the reader says and the registry it leaves (the template dumps) are compared with
// tests/golden/reader.golden.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sstream>
#include "entity/ef_def.h"
#include "tests/support/testsupport.h"

namespace {

struct Case {
	std::string name;
	std::string text;  // the file's content; "-" for no file at all
	std::vector<std::string> ids;
	bool full;  // the whole dump of the registry, or its summary
};

// The cases of tests/data/reader.cases, one long USES chain, and white space and case.
std::vector<Case> cases() {
	std::vector<Case> out;
	std::istringstream in(readFile(repoRoot() + "/tests/data/reader.cases"));
	for (std::string line; std::getline(in, line);) {
		if (line.compare(0, 4, "=== ") == 0) {
			std::istringstream head(line.substr(4));
			Case c;
			std::string ids, how;
			std::getline(head, c.name, '|');
			std::getline(head, ids, '|');
			std::getline(head, how);
			c.name.erase(c.name.find_last_not_of(' ') + 1);
			std::istringstream words(ids);
			for (std::string id; words >> id;) {
				c.ids.push_back(id == "\"\"" ? "" : id);
			}
			c.full = how == " full";
			out.push_back(c);
		} else if (!out.empty()) {
			out.back().text += (out.back().text.empty() ? "" : "\n") + line;
		}
	}
	Case chain = {"long dependency chains are cut", "", {"T0", "T64"}, false};
	for (int i = 0; i < 80; i++) {
		chain.text += "ENTITY T" + std::to_string(i) + " USES T" + std::to_string(i + 1) + " END_ENTITY\n";
	}
	out.push_back(chain);
	out.push_back({"tokens, white space and case",
	               "junk before\r\nENTITY\tA\r\nNAME\vFoo\fname Bar GROUP  G\r\n\r\nTYPE T "
	               "IGNORE X IGNORES Y end_entity LIFE 4 END_ENTITY\r\nENTITY B END_ENTITY\n",
	               {"A", "B"},
	               true});
	return out;
}

// A clean registry with the flag and behaviour tables, and video for the frames' images.
struct Reader : public ::testing::Test {
	TempDir dir;
	void SetUp() override {
		ASSERT_NE(headlessVideo(), nullptr);
		clearWorld();
		buildEFlags();
		buildEFuncs();
		writeBmp(dir, "p.bmp", 7, 5, 0, 0, 255);
	}
	void TearDown() override { clearWorld(); }
	// Loads id from the file holding text; returns what the reader said and its result.
	std::string load(const std::string &text, const std::string &id) {
		std::string file =
			text == "-" ? dir.at("nothing.dat") : dir.write("entity.dat", scrubbed(text, "$DIR", dir.path));
		Capture err(2);
		int r = addEnD(file, id);
		return "-- load " + id + ": " + std::to_string(r) + "\n" + err.finish();
	}
};

TEST_F(Reader, CasesMatchTheGoldenText) {
	std::string all;
	for (const Case &c : cases()) {
		clearWorld();
		all += std::string("== ") + c.name + "\n";
		for (const std::string &id : c.ids) {
			all += load(c.text, id);
		}
		Capture out(1);
		printEdList(c.full ? 1 : 0);
		all += out.finish() + "loops:";
		for (const EntityData &d : edlist) {
			for (const State &s : d.states) {
				all += " " + std::to_string(s.loop);
			}
		}
		all += "\n";
	}
	expectGolden("reader.golden", scrubbed(all, dir.path, "$DIR"));
}

TEST_F(Reader, ImagesAreKeyedConvertedAndSharedPerFile) {
	writeBmp(dir, "red.bmp", 6, 4, 255, 0, 0);
	load("ENTITY A STATE S FRAME $DIR/red.bmp END_FRAME FRAME $DIR/red.bmp END_FRAME END_STATE END_ENTITY", "A");
	std::vector<Frame> &f = getEData("A", edlist)->states.at(0).frames;
	ASSERT_NE(f.at(0).bitmap, nullptr);
	EXPECT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, f[0].bitmap->format->BitsPerPixel);
	EXPECT_TRUE(f[0].bitmap->flags & SDL_SRCCOLORKEY);
	EXPECT_EQ(SDL_MapRGB(f[0].bitmap->format, 255, 0, 255), f[0].bitmap->format->colorkey);
	EXPECT_EQ(f[0].bitmap, f[1].bitmap);
}

// Frames and states dropped by a failed read release their bitmaps: the sanitizer lets frame
// bitmaps go unreported (they live until exit on purpose), so the heap is counted instead.
TEST_F(Reader, DroppedFramesReleaseTheirBitmaps) {
	writeBmp(dir, "big.bmp", 512, 512, 0, 0, 255);
	size_t before = 0;
	for (int pass = 0; pass < 2; pass++) {
		before = mallinfo2().uordblks + mallinfo2().hblkhd;  // the first pass warms up the image loader
		for (const char *text :
		     {"ENTITY A STATE S FRAME $DIR/big.bmp DELAY 3 END_FRAME", "ENTITY A STATE S FRAME $DIR/big.bmp DELAY 3"}) {
			clearWorld();
			load(text, "A");
		}
	}
	EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, before + 512 * 1024);
}

}  // namespace
