// Entity binding to templates and the animation: frame timing, loops, state switches, messages.
#include <gtest/gtest.h>
#include "entity/entity.h"
#include "tests/support/testsupport.h"
#include "tests/test_entity_util.h"

static Entity *cur(void *p) {
	return (Entity *)p;
}

static int logEnter(void *p) {
	behaviourLog().push_back("in:" + cur(p)->frame->name);
	return 1;
}

static int logExit(void *p) {
	behaviourLog().push_back("out:" + cur(p)->frame->name);
	return 1;
}

static int exitToB(void *p) {
	behaviourLog().push_back("out:" + cur(p)->frame->name);
	cur(p)->setState("B");
	return 1;
}

static int enterDeath(void *p) {
	behaviourLog().push_back("in:" + cur(p)->frame->name);
	cur(p)->setState("DEATH");
	return 1;
}

class EntityAnim : public ::testing::Test {
protected:
	void SetUp() override { resetWorld(); }
	void TearDown() override { resetWorld(); }
};

TEST_F(EntityAnim, BindingCopiesTheTemplateAndRunsNoBehaviour) {
	EntityData *d = registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0, logEnter), makeFrame("a1", 0)})});
	d->var["LIVES"] = 3;
	d->life = 4;
	d->maxlife = 9;
	d->eprog = logEnter;

	Env field;
	Capture err(2);
	Entity e("unused.dat", "T", &field);
	EXPECT_EQ(err.finish(), "");
	EXPECT_EQ(e.data, d);
	EXPECT_EQ(e.env, &field);
	EXPECT_EQ(e.id, "T");
	EXPECT_EQ(e.life, 4);
	EXPECT_EQ(e.maxlife, 9);
	EXPECT_EQ(e.eprog, nullptr);
	EXPECT_EQ(e.x, 100);
	EXPECT_EQ(e.y, 100);
	EXPECT_EQ(e.frame, &d->states[0].frames[0]);
	EXPECT_EQ(e.framectr, 0);
	EXPECT_EQ(e.getState(), "A");
	EXPECT_TRUE(behaviourLog().empty());
	e.var["LIVES"] = 1;  // the tables are the entity's own
	EXPECT_EQ(d->var["LIVES"], 3);
}

TEST_F(EntityAnim, BindingToAMissingTemplateLeavesTheEntityUnbound) {
	Entity e;
	e.x = 5;
	Capture err(2);
	EXPECT_EQ(e.initTo("Nope"), 0);
	EXPECT_EQ(err.finish(), "Entity::initTo: Could not find EntityData: Nope\n");
	EXPECT_EQ(e.data, nullptr);
	EXPECT_EQ(e.x, 5);
	EXPECT_EQ(e.id, "");
	EXPECT_EQ(e.getState(), "");

	TempDir dir;
	Capture err2(2);
	EXPECT_EQ(e.loadEn(dir.at("missing.dat"), "Nope"), 1);
	std::string text = err2.finish();
	EXPECT_EQ(text.find("Entity::loadEn: EData (Nope) not found, loading...\n"), 0u);
	EXPECT_NE(text.find("Entity::initTo: Could not find EntityData: Nope\n"), std::string::npos);
	EXPECT_EQ(e.data, nullptr);
}

TEST_F(EntityAnim, TemplateWithoutFramesGivesAnEntityWithoutCurrentFrame) {
	registerTemplate("Empty", {});
	registerTemplate("Frameless", {makeState("A", 0, "", {}), makeState("B", 0, "", {makeFrame("b0", 0, logEnter)})});

	Entity *e = loadEntity("unused.dat", "Empty");
	ASSERT_NE(e, nullptr);
	EXPECT_EQ(e->state, nullptr);
	EXPECT_EQ(e->frame, nullptr);
	Capture err(2);
	e->addAnimPhase(1);
	e->addAnimPhase(1);
	EXPECT_EQ(err.finish(), "Entity::addAnimPhase: EmptyName: No current frame\n"
	                        "Entity::addAnimPhase: EmptyName: No current frame\n");
	EXPECT_EQ(e->framectr, 2);

	Entity *f = loadEntity("unused.dat", "Frameless");
	ASSERT_NE(f, nullptr);
	EXPECT_EQ(f->getState(), "A");
	EXPECT_EQ(f->frame, nullptr);
	EXPECT_EQ(f->setState("B"), 1);
	EXPECT_EQ(f->frame->name, "b0");
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"in:b0"}));
}

TEST_F(EntityAnim, FrameTiming) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0), makeFrame("a1", 3), makeFrame("a2", 2), makeFrame("a3", 0)})});
	Entity e("unused.dat", "T");
	e.addAnimPhase(1);  // delay 0: every call
	EXPECT_EQ(e.curframe, 1u);
	for (int i = 0; i < 3; i++) {
		e.addAnimPhase(1);
	}
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(e.framectr, 3);
	e.addAnimPhase(1);  // delay 3: after the fourth
	EXPECT_EQ(e.curframe, 2u);
	EXPECT_EQ(e.framectr, 0);
	e.addAnimPhase(10);  // one frame at most per call
	EXPECT_EQ(e.curframe, 3u);
	EXPECT_EQ(e.frame, &e.state->frames[3]);
	EXPECT_EQ(e.framectr, 0);
	e.addAnimPhase(-5);  // negative counts stay
	EXPECT_EQ(e.curframe, 3u);
	EXPECT_EQ(e.framectr, -5);
}

TEST_F(EntityAnim, LoopNextStateAndBehaviourOrder) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0, logEnter, logExit), makeFrame("a1", 0, logEnter, logExit)}),
	                       makeState("S", -1, "B", {makeFrame("s0", 0, logEnter, logExit)}),
	                       makeState("B", 1, "", {makeFrame("b0", 0, logEnter, logExit), makeFrame("b1", 0, logEnter, logExit)}),
	                       makeState("X", 0, "", {makeFrame("x0", 0, enterDeath)}),
	                       makeState("DEATH", 0, "", {makeFrame("d0", 0, logEnter)})});
	Entity e("unused.dat", "T");
	e.addAnimPhase(1);
	e.addAnimPhase(1);  // end of A: loop 0 enters a0 again
	EXPECT_EQ(e.curframe, 0u);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"out:a0", "in:a1", "out:a1", "in:a0"}));

	behaviourLog().clear();
	EXPECT_EQ(e.setState("S"), 1);
	e.addAnimPhase(1);  // end of S: switch to B
	EXPECT_EQ(e.getState(), "B");
	EXPECT_EQ(e.curframe, 0u);
	e.addAnimPhase(1);
	e.addAnimPhase(1);  // end of B: loop 1 re-enters b1
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"out:a0", "in:s0", "out:s0", "in:b0", "out:b0", "in:b1", "out:b1", "in:b1"}));

	// Asking for the current state changes nothing.
	behaviourLog().clear();
	e.framectr = 0;
	EXPECT_EQ(e.setState("B"), 1);
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(e.framectr, 0);
	EXPECT_TRUE(behaviourLog().empty());

	// An enter behaviour may switch again; its switch is what stands.
	e.setState("X");
	EXPECT_EQ(e.getState(), "DEATH");
	EXPECT_EQ(e.frame->name, "d0");
}

TEST_F(EntityAnim, ExitBehaviourThatSwitchesStateIsCheckedAgainstTheNewState) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0, nullptr, exitToB), makeFrame("a1", 0), makeFrame("a2", 0)}),
	                       makeState("B", 0, "", {makeFrame("b0", 0, logEnter), makeFrame("b1", 0, logEnter)})});
	Entity e("unused.dat", "T");
	e.setFrame(1);  // fits B too: B's frame 1 stands
	EXPECT_EQ(e.getState(), "B");
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(e.frame, &e.state->frames[1]);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"out:a0", "out:a0", "in:b0", "in:b1"}));

	Entity f("unused.dat", "T");
	behaviourLog().clear();
	Capture err(2);
	f.setFrame(2);  // B has no frame 2: the switch made by the exit stands
	EXPECT_EQ(err.finish(), "Entity::setFrame: B does not have a frame #2\n");
	EXPECT_EQ(f.getState(), "B");
	EXPECT_EQ(f.curframe, 0u);
	EXPECT_EQ(f.frame, &f.state->frames[0]);
}

TEST_F(EntityAnim, MessagesAndWhatSurvivesThem) {
	registerTemplate("T", {makeState("A", 5, "", {makeFrame("a0", 0)}),
	                       makeState("N", -1, "Missing", {makeFrame("n0", 0)}),
	                       makeState("Self", -1, "Self", {makeFrame("self0", 0)}),
	                       makeState("Nothing", 0, "", {})});
	Entity bare;
	bare.name = "Bare";
	Capture err(2);
	EXPECT_EQ(bare.setState("A"), 0);
	bare.setFrame(0);
	EXPECT_EQ(err.finish(), "Entity::setState: Bare has no EData\nEntity::setFrame:  does not have a frame #0\n");

	Entity e("unused.dat", "T");
	Capture err2(2);
	EXPECT_EQ(e.setState("a"), 0);
	e.setFrame(3);
	e.addAnimPhase(1);  // loop 5 does not exist: stays, every cycle
	e.addAnimPhase(1);
	EXPECT_EQ(err2.finish(), "Entity::setState: TName has no \"a\" state\n"
	                         "Entity::setFrame: A does not have a frame #3\n"
	                         "Entity::setFrame: A does not have a frame #5\n"
	                         "Entity::setFrame: A does not have a frame #5\n");
	EXPECT_EQ(e.getState(), "A");
	EXPECT_EQ(e.frame->name, "a0");

	e.setState("N");
	Capture err3(2);
	e.addAnimPhase(1);
	EXPECT_EQ(err3.finish(), "Entity::setState: TName has no \"Missing\" state\n");
	EXPECT_EQ(e.frame->name, "n0");

	e.setState("Self");
	Capture err4(2);
	e.addAnimPhase(1);
	EXPECT_EQ(err4.finish(), "");
	EXPECT_EQ(e.frame->name, "self0");

	// A state without frames becomes current; the old frame stays and every change is refused.
	Capture err5(2);
	EXPECT_EQ(e.setState("Nothing"), 1);
	e.addAnimPhase(1);
	EXPECT_EQ(err5.finish(), "Entity::setFrame: Nothing does not have a frame #0\n"
	                         "Entity::setFrame: Nothing does not have a frame #0\n");
	EXPECT_EQ(e.getState(), "Nothing");
	EXPECT_EQ(e.frame->name, "self0");
}

TEST_F(EntityAnim, CopiesOwnTheirSpawnLists) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0)})});
	Entity a("unused.dat", "T");
	a.addSpawn("f.dat", "X", 1, 2, 3, 4, 5);
	a.addSpawn("f.dat", "Y", 1, 2, 3, 4, 9);
	Entity b(a);
	ASSERT_NE(b.slist, nullptr);
	EXPECT_NE(b.slist, a.slist);
	EXPECT_EQ(b.slist->id, "X");
	ASSERT_NE(b.slist->next, nullptr);
	EXPECT_EQ(b.slist->next->id, "Y");
	EXPECT_EQ(b.slist->next->delay, 4);
	EXPECT_EQ(b.state, a.state);

	Entity c;
	c.addSpawn("f.dat", "Z", 0, 0, 0, 0, 1);
	c = a;
	Entity &same = c;
	c = same;
	EXPECT_NE(c.slist, a.slist);
	EXPECT_EQ(c.slist->id, "X");

	std::vector<Entity> v(3, a);  // copies of copies; the sanitizer build catches a double free
	v.push_back(c);
	EXPECT_EQ(v[3].slist->next->id, "Y");
}
