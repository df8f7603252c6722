// Entity binding to templates and the animation: frame timing, loops, state switches, messages.
#include "tests/test_entity_util.h"

// Exit behaviour that logs "-frame".
static int logExit(void *p) {
	behaviourLog().push_back("-" + ((Entity *)p)->frame->name);
	return 1;
}

// Exit behaviour that logs and switches to state B.
static int exitToB(void *p) {
	logExit(p);
	((Entity *)p)->setState("B");
	return 1;
}

typedef EntityTest EntityAnim;

TEST_F(EntityAnim, BindingAndTemplatesWithoutFrames) {
	EntityData *d = oneState("T", {makeFrame("a0", 0, logEnter)});
	Entity e("unused.dat", "T");
	EXPECT_EQ(e.frame, &d->states[0].frames[0]);
	EXPECT_TRUE(behaviourLog().empty());  // binding runs no behaviour

	// A first state without frames: no current frame, and no crash.
	registerTemplate("Frameless", {makeState("A", 0, "", {}), makeState("B", 0, "", {makeFrame("b0", 0, logEnter)})});
	Entity *f = loadEntity("unused.dat", "Frameless");
	Capture err(2);
	f->addAnimPhase(1);
	EXPECT_EQ(err.finish(), "Entity::addAnimPhase: Frameless: No current frame\n");
	EXPECT_EQ(f->setState("B"), 1);
	EXPECT_EQ(behaviourLog(), Log({"Frameless:b0"}));
}

TEST_F(EntityAnim, FrameTiming) {
	oneState("T", {makeFrame("a0", 0), makeFrame("a1", 3), makeFrame("a2", 2), makeFrame("a3", 0)});
	Entity e("unused.dat", "T");
	// a frame is left once its count passes its delay, with a fresh count, one frame per call
	int steps[] = {1, 1, 1, 1, 1, 1, 1, 10};
	unsigned int want[] = {1, 1, 1, 1, 2, 2, 2, 3};
	for (int i = 0; i < 8; i++) {
		e.addAnimPhase(steps[i]);
		EXPECT_EQ(e.curframe, want[i]) << i;
	}
	EXPECT_EQ(e.frame, &e.state->frames[3]);
}

TEST_F(EntityAnim, LoopNextStateAndExitBeforeEnter) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0, logEnter, logExit), makeFrame("a1", 0, logEnter, logExit)}),
	                       makeState("S", -1, "B", {makeFrame("s0", 0, logEnter, logExit)}),
	                       makeState("B", 1, "", {makeFrame("b0", 0, logEnter, logExit), makeFrame("b1", 0, logEnter, logExit)})});
	Entity e("unused.dat", "T");
	e.addAnimPhase(1);
	e.addAnimPhase(1);  // end of A: loop 0 enters a0 again
	EXPECT_EQ(e.curframe, 0u);
	EXPECT_EQ(e.setState("S"), 1);
	e.addAnimPhase(1);  // end of S: switch to B
	EXPECT_EQ(e.getState(), "B");
	e.addAnimPhase(1);
	e.addAnimPhase(1);  // end of B: loop 1 re-enters b1
	EXPECT_EQ(e.curframe, 1u);
	EXPECT_EQ(behaviourLog(), Log({"-a0", "T:a1", "-a1", "T:a0", "-a0", "T:s0", "-s0", "T:b0", "-b0", "T:b1", "-b1", "T:b1"}));
}

TEST_F(EntityAnim, ExitBehaviourThatSwitchesStateIsCheckedAgainstTheNewState) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0, nullptr, exitToB), makeFrame("a1", 0), makeFrame("a2", 0)}),
	                       makeState("B", 0, "", {makeFrame("b0", 0, logEnter), makeFrame("b1", 0, logEnter)})});
	Entity e("unused.dat", "T");
	e.setFrame(1);  // fits B too: B's frame 1 stands
	EXPECT_EQ(e.frame, &e.state->frames[1]);
	EXPECT_EQ(behaviourLog(), Log({"-a0", "-a0", "T:b0", "T:b1"}));

	Entity f("unused.dat", "T");
	Capture err(2);
	f.setFrame(2);  // B has no frame 2: the switch made by the exit stands
	EXPECT_EQ(err.finish(), "Entity::setFrame: B does not have a frame #2\n");
	EXPECT_EQ(f.getState(), "B");
	EXPECT_EQ(f.frame, &f.state->frames[0]);
}

TEST_F(EntityAnim, MessagesAndWhatSurvivesThem) {
	registerTemplate("T", {makeState("A", 5, "", {makeFrame("a0", 0)}), makeState("N", -1, "Missing", {makeFrame("n0", 0)}),
	                       makeState("Nothing", 0, "", {})});
	Entity bare;
	bare.name = "Bare";
	Entity e("unused.dat", "T");
	Capture err(2);
	EXPECT_EQ(bare.setState("A"), 0);
	bare.setFrame(0);
	EXPECT_EQ(e.setState("a"), 0);
	e.setFrame(3);
	e.addAnimPhase(1);  // loop 5 does not exist: stays
	EXPECT_EQ(e.frame->name, "a0");
	e.setState("N");
	e.addAnimPhase(1);
	EXPECT_EQ(e.frame->name, "n0");
	EXPECT_EQ(e.setState("Nothing"), 1);  // becomes current; the old frame stays
	e.addAnimPhase(1);
	EXPECT_EQ(e.frame->name, "n0");
	EXPECT_EQ(err.finish(),
	          "Entity::setState: Bare has no EData\n"
	          "Entity::setFrame:  does not have a frame #0\n"
	          "Entity::setState: T has no \"a\" state\n"
	          "Entity::setFrame: A does not have a frame #3\n"
	          "Entity::setFrame: A does not have a frame #5\n"
	          "Entity::setState: T has no \"Missing\" state\n"
	          "Entity::setFrame: Nothing does not have a frame #0\n");  // its repeat is counted
}

TEST_F(EntityAnim, CopiesOwnTheirSpawnLists) {
	Entity a;
	a.addSpawn("f.dat", "X", 1, 2, 3, 4, 5);
	a.addSpawn("f.dat", "Y", 1, 2, 3, 4, 9);
	Entity c;
	c.addSpawn("f.dat", "Z", 0, 0, 0, 0, 1);
	c = a;
	c = *&c;
	std::vector<Entity> v(2, c);  // copies of copies; the sanitizer build catches a double free
	EXPECT_NE(v[0].slist, v[1].slist);
	EXPECT_EQ(v[1].slist->next->id, "Y");
}
