// Game controllers as held keys: the stick's dead zone and sectors, bindings that follow the
// game's key bindings, several pads at once, and what a pad lets go of.
#include "platform/pad.h"

#include <gtest/gtest.h>

#include "platform/headless_engine.h"
#include "support/headless.h"

namespace {

TEST(PadTest, TheStickHoldsDirectionsOutsideItsDeadZoneInEightSectors) {
    const int full = kPadAxisMax;
    const int edge = full / 4;  // the default dead zone's radius
    const struct {
        int x, y;
        bool up, down, left, right;
        const char* what;
    } cases[] = {
        {0, 0, false, false, false, false, "centred"},
        {edge - 200, 0, false, false, false, false, "inside the dead zone"},
        {edge * 7 / 10, -edge * 7 / 10, false, false, false, false, "a diagonal inside the dead zone"},
        {edge + 200, 0, false, false, false, true, "just past the dead zone"},
        {0, -full, true, false, false, false, "up"},
        {0, full, false, true, false, false, "down"},
        {-full, 0, false, false, true, false, "left"},
        {-32768, 0, false, false, true, false, "the axis's most negative value"},
        {full, -full, true, false, false, true, "up-right"},
        {-full, full, false, true, true, false, "down-left"},
        // 20 degrees off straight up still reads as up alone; 30 degrees is up-right.
        {11207, -30790, true, false, false, false, "20 degrees right of up"},
        {16383, -28377, true, false, false, true, "30 degrees right of up"},
    };
    for (const auto& c : cases) {
        bool up, down, left, right;
        StickDirections(c.x, c.y, kPadDefaultDeadZonePercent, up, down, left, right);
        EXPECT_EQ(up, c.up) << c.what;
        EXPECT_EQ(down, c.down) << c.what;
        EXPECT_EQ(left, c.left) << c.what;
        EXPECT_EQ(right, c.right) << c.what;
    }
    // The dead zone is the player's to change; out-of-range settings are clamped.
    bool up, down, left, right;
    StickDirections(edge + 200, 0, 50, up, down, left, right);
    EXPECT_FALSE(right);
    StickDirections(300, 0, -10, up, down, left, right);
    EXPECT_TRUE(right);
    StickDirections(full, full, 400, up, down, left, right);
    EXPECT_FALSE(right || down);
}

class PadInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        bindings_[PAD_SOUTH] = {.action = 5};         // SHOOT
        bindings_[PAD_DPAD_UP] = {.action = 0, .key = 38};  // UP, and the arrow key
        bindings_[PAD_STICK_UP] = {.action = 0};
        bindings_[PAD_START] = {.key = 27};           // Escape, whatever the bindings
        bindings_[PAD_RIGHT_TRIGGER] = {.key = 17};   // Ctrl
        bindings_[PAD_NORTH] = {.action = 9};         // no such action
        pads_.SetBindings(bindings_, actionKeys_, 8);
    }
    PadBinding bindings_[PAD_CONTROL_COUNT];
    int64_t actionKeys_[8] = {38, 40, 37, 39, 16, 90, 88, 17};
    PadInput pads_;
};

TEST_F(PadInputTest, AControlPressesTheKeyItsActionIsBoundToNow) {
    pads_.SetControl(1, PAD_SOUTH, true);
    EXPECT_TRUE(pads_.Holds('Z'));
    EXPECT_FALSE(pads_.Holds('X'));
    // Rebinding SHOOT on the key-configuration screen moves the pad with it.
    actionKeys_[5] = 'C';
    EXPECT_FALSE(pads_.Holds('Z'));
    EXPECT_TRUE(pads_.Holds('C'));
    // An action bound to no key, or to a code outside the keys, presses nothing.
    for (int64_t unusable : {int64_t(0), int64_t(256), int64_t(-5), int64_t(1) << 40}) {
        actionKeys_[5] = unusable;
        for (int key = -1; key < 300; ++key) ASSERT_FALSE(pads_.Holds(key)) << unusable << " " << key;
    }
    pads_.SetControl(1, PAD_NORTH, true);
    for (int key = -1; key < 300; ++key) ASSERT_FALSE(pads_.Presses(PAD_NORTH, key)) << key;
    pads_.SetControl(1, PAD_START, true);
    EXPECT_TRUE(pads_.Holds(27));
    EXPECT_FALSE(pads_.Holds(0));
}

TEST_F(PadInputTest, TheDPadPressesTheMovementKeyAndTheArrowKey) {
    pads_.SetControl(1, PAD_DPAD_UP, true);
    EXPECT_TRUE(pads_.Holds(38));
    actionKeys_[0] = 'W';  // a player who moves with WASD
    EXPECT_TRUE(pads_.Holds('W'));
    EXPECT_TRUE(pads_.Holds(38));  // menus that answer to the arrow keys alone still move
    EXPECT_FALSE(pads_.Holds(40));
}

TEST_F(PadInputTest, AKeyIsHeldWhileAnyPadOrAnyControlHoldsIt) {
    // The D-pad and the stick both press UP; two pads both press SHOOT.
    pads_.SetControl(1, PAD_DPAD_UP, true);
    pads_.SetStickY(2, -kPadAxisMax);
    EXPECT_TRUE(pads_.Holds(38));
    pads_.SetControl(1, PAD_DPAD_UP, false);
    EXPECT_TRUE(pads_.Holds(38));
    pads_.SetStickY(2, 0);
    EXPECT_FALSE(pads_.Holds(38));

    EXPECT_TRUE(pads_.SetControl(1, PAD_SOUTH, true));   // a fresh press
    EXPECT_FALSE(pads_.SetControl(2, PAD_SOUTH, true));  // already held by the first pad
    pads_.SetControl(1, PAD_SOUTH, false);
    EXPECT_TRUE(pads_.Holds('Z'));
    // A pad pulled out lets go of everything it held.
    pads_.RemovePad(2);
    EXPECT_FALSE(pads_.Holds('Z'));
}

TEST_F(PadInputTest, TriggersHoldPastHalfTheirTravelAndFocusLossLetsGo) {
    EXPECT_FALSE(pads_.SetTrigger(1, PAD_RIGHT_TRIGGER, kPadAxisMax / 2));
    EXPECT_FALSE(pads_.Holds(17));
    EXPECT_TRUE(pads_.SetTrigger(1, PAD_RIGHT_TRIGGER, kPadAxisMax / 2 + 1));
    EXPECT_TRUE(pads_.Holds(17));
    pads_.SetStickY(1, -kPadAxisMax);
    pads_.SetControl(3, PAD_SOUTH, true);
    pads_.ReleaseAll();
    for (int key = 0; key < 256; ++key) EXPECT_FALSE(pads_.Holds(key)) << key;
    // The pads stay known: the next change is read as usual.
    pads_.SetStickX(1, 0);
    EXPECT_FALSE(pads_.Held(PAD_STICK_UP));
    pads_.SetStickY(1, kPadAxisMax);
    EXPECT_TRUE(pads_.Held(PAD_STICK_DOWN));
}

TEST_F(PadInputTest, ChangingTheDeadZoneRereadsTheSticks) {
    pads_.SetStickY(1, -kPadAxisMax * 4 / 10);
    EXPECT_TRUE(pads_.Holds(38));
    pads_.SetDeadZone(50);
    EXPECT_FALSE(pads_.Holds(38));
    pads_.SetDeadZone(10);
    EXPECT_TRUE(pads_.Holds(38));
}

TEST(PadEngineTest, TheEngineReportsAPadsKeysAsHeldKeys) {
    HeadlessEngine& engine = UseHeadlessEngine();
    static int64_t actionKeys[8] = {38, 40, 37, 39, 16, 90, 88, 17};
    PadBinding bindings[PAD_CONTROL_COUNT];
    bindings[PAD_EAST] = {.action = 6};
    engine.Input_SetPadBindings(bindings, actionKeys, 8, 25);
    engine.Pads().SetControl(7, PAD_EAST, true);
    EXPECT_TRUE(engine.Input_GetKeyState('X'));
    EXPECT_FALSE(engine.Input_GetKeyState('Z'));
    engine.Pads().RemovePad(7);
    EXPECT_FALSE(engine.Input_GetKeyState('X'));
    // Without bindings a pad presses nothing.
    PadBinding none[PAD_CONTROL_COUNT];
    engine.Input_SetPadBindings(none, actionKeys, 8, 25);
    engine.Pads().SetControl(7, PAD_EAST, true);
    EXPECT_FALSE(engine.Input_GetKeyState('X'));
    engine.Pads().RemovePad(7);
}

}  // namespace
