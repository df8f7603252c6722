// The world list's back links, which let remEn unlink without a walk, against a plain model
// of the lists under long random runs of linking and removal.
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "entity/entity.h"

namespace {

// Links e into the model at the place addEn gives it: before the first of equal or higher priority.
void modelAdd(std::vector<Entity *> &model, Entity *e) {
	size_t i = 0;
	while (i < model.size() && model[i]->priority < e->priority) {
		i++;
	}
	model.insert(model.begin() + (long)i, e);
}

// The list from head on, as a vector.
std::vector<Entity *> walk(Entity *head) {
	std::vector<Entity *> out;
	for (Entity *e = head; e != nullptr; e = e->next) {
		out.push_back(e);
	}
	return out;
}

// Removes everything from both lists and destroys it.
void emptyLists(Entity **other) {
	while (elist != nullptr) {
		remEn(&elist, elist);
	}
	while (*other != nullptr) {
		remEn(other, *other);
	}
	reapEntities();
	num_entities = 0;
}

TEST(WorldLinks, RandomLinkingAndRemovalKeepTheListsAndTheirCount) {
	Entity *other = nullptr;  // a second list: its entities must never leave through elist
	std::vector<Entity *> world;
	std::vector<Entity *> second;
	std::vector<Entity *> gone;  // removed, not yet destroyed
	emptyLists(&other);
	unsigned int seed = 12345;
	for (int step = 0; step < 20000; step++) {
		seed = seed * 1103515245u + 12345u;
		int op = (int)((seed >> 16) % 10);
		int pick = (int)((seed >> 4) % 1000);
		if (op < 3 || world.empty()) {
			Entity *e = new Entity();
			e->priority = pick % 6;
			addEn(&elist, e);
			modelAdd(world, e);
		} else if (op < 6) {
			Entity *e = world[(size_t)pick % world.size()];
			remEn(&elist, e);
			world.erase(std::find(world.begin(), world.end(), e));
			gone.push_back(e);
			EXPECT_TRUE(e->removed);
		} else if (op < 8 && second.size() < 50) {
			Entity *e = new Entity();
			e->priority = pick % 6;
			addEn(&other, e);
			modelAdd(second, e);
		} else if (op == 8 && !second.empty()) {
			// not in elist: nothing happens, also not to its own list
			remEn(&elist, second[(size_t)pick % second.size()]);
			if (!gone.empty()) {
				remEn(&elist, gone[(size_t)pick % gone.size()]);
			}
		} else if (op == 9) {
			reapEntities();
			gone.clear();
		}
		ASSERT_EQ(walk(elist), world) << "step " << step;
		ASSERT_EQ(walk(other), second) << "step " << step;
		ASSERT_EQ(num_entities, (int)(world.size() + second.size())) << "step " << step;
		// each back link names the predecessor, so that no removal has to walk
		for (size_t i = 0; i < world.size(); i++) {
			ASSERT_EQ(world[i]->prev, i == 0 ? nullptr : world[i - 1]) << "step " << step;
		}
	}
	for (size_t i = 0; i < second.size(); i++) {
		EXPECT_FALSE(second[i]->removed);
	}
	emptyLists(&other);
}

TEST(WorldLinks, CopiesAndHandLinkedEntitiesAreStillFoundAndRemoved) {
	Entity *other = nullptr;
	emptyLists(&other);
	Entity *a = new Entity();
	Entity *b = new Entity();
	addEn(&elist, a);
	addEn(&elist, b);
	// a copy carries no back link of the original: it is a plain value
	Entity copy(*b);
	EXPECT_EQ(copy.prev, nullptr);
	// an entity spliced in by hand has no back link either; removal finds it by walking
	Entity *c = new Entity();
	c->next = a->next;
	a->next = c;
	num_entities += 1;
	remEn(&elist, c);
	EXPECT_EQ(walk(elist), (std::vector<Entity *>{b, a}));
	// and a removal next to it keeps the links of its neighbours right
	remEn(&elist, b);
	EXPECT_EQ(walk(elist), (std::vector<Entity *>{a}));
	EXPECT_EQ(num_entities, 1);
	emptyLists(&other);
}

}  // namespace
