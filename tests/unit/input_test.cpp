// Action reading and the key-phase poll.
#include "input/input.h"

#include <gtest/gtest.h>

#include "core/screen_flow.h"
#include "input/settings.h"
#include "support/headless.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = &UseHeadlessEngine();
        for (KeyPhase& p : keyPhases) p = KeyPhase::Idle;
        for (uint8_t& b : inputBits) b = 0;
        replayPlayback = false;
    }
    HeadlessEngine* engine_ = nullptr;
};

TEST_F(InputTest, KeyPhaseFollowsPressHoldAndRelease) {
    // Each step: key held?, window focused?, expected answer, expected stored phase.
    const struct {
        bool held, focused;
        KeyPhase answer, stored;
    } steps[] = {
        {false, true, KeyPhase::Idle, KeyPhase::Idle},
        {true, true, KeyPhase::Pressed, KeyPhase::Pressed},
        {true, true, KeyPhase::Held, KeyPhase::Held},
        {false, true, KeyPhase::Released, KeyPhase::Released},
        {false, true, KeyPhase::Idle, KeyPhase::Idle},
        {true, true, KeyPhase::Pressed, KeyPhase::Pressed},
        // Another window has focus: idle, and the stored phase waits.
        {true, false, KeyPhase::Idle, KeyPhase::Pressed},
        {false, false, KeyPhase::Idle, KeyPhase::Pressed},
        // Focus back with the key down: it goes on from the stored phase.
        {true, true, KeyPhase::Held, KeyPhase::Held},
        {false, true, KeyPhase::Released, KeyPhase::Released},
        // Released then pressed again before the next poll: Released turns Idle, then Pressed.
        {true, true, KeyPhase::Pressed, KeyPhase::Pressed},
    };
    int n = 0;
    for (const auto& s : steps) {
        engine_->SetKey(VK_LBUTTON, s.held);
        engine_->SetFocus(s.focused);
        EXPECT_EQ(PollKeyPhase(VK_LBUTTON), s.answer) << "step " << n;
        EXPECT_EQ(keyPhases[VK_LBUTTON], s.stored) << "step " << n;
        ++n;
    }
}

TEST_F(InputTest, ReadActionRecordsLiveKeysAndAnswersFromTheReplay) {
    KeyBindings[ACT_SHOOT] = 'Z';
    KeyBindings[ACT_SLOW] = 0;
    engine_->SetKey('Z', true);
    engine_->SetFocus(false);  // the key counts without focus; the game pauses instead
    EXPECT_TRUE(ReadAction(ACT_SHOOT));
    EXPECT_TRUE(ReadAction(ACT_SHOOT));
    EXPECT_EQ(inputBits[ACT_SHOOT], 1);
    EXPECT_FALSE(ReadAction(ACT_SLOW));  // a binding of 0 is never held
    EXPECT_EQ(inputBits[ACT_SLOW], 0);

    replayPlayback = true;
    engine_->SetKey('Z', false);
    inputBits[ACT_SLOW] = 1;
    inputBits[ACT_SHOOT] = 0;
    EXPECT_TRUE(ReadAction(ACT_SLOW));
    EXPECT_FALSE(ReadAction(ACT_SHOOT));
    engine_->SetKey('Z', true);
    EXPECT_FALSE(ReadAction(ACT_SHOOT));  // playback never looks at the keyboard
    replayPlayback = false;
}

TEST_F(InputTest, KeyHeldFocusedNeedsTheFocus) {
    engine_->SetKey(VK_SHIFT, true);
    EXPECT_TRUE(KeyHeldFocused(VK_SHIFT));
    engine_->SetFocus(false);
    EXPECT_FALSE(KeyHeldFocused(VK_SHIFT));
    EXPECT_FALSE(IsForeground());
}

}  // namespace
