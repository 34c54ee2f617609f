// Each frame's actions (read, recorded, decoded) and the key-phase poll.
#include <gtest/gtest.h>

#include "core/state.h"
#include "input/actions.h"
#include "input/keys.h"
#include "support/headless.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = &UseHeadlessEngine();
        for (KeyPhase& p : keyPhases) p = KeyPhase::Idle;
        for (uint8_t& b : record.inputBits) b = 0;
        record.replayPlayback = false;
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
    settings.KeyBindings[ACT_SHOOT] = 'Z';
    settings.KeyBindings[ACT_SLOW] = 0;
    engine_->SetKey('Z', true);
    engine_->SetFocus(false);  // the key counts without focus; the game pauses instead
    EXPECT_TRUE(ReadAction(ACT_SHOOT));
    EXPECT_TRUE(ReadAction(ACT_SHOOT));
    EXPECT_EQ(record.inputBits[ACT_SHOOT], 1);
    EXPECT_FALSE(ReadAction(ACT_SLOW));  // a binding of 0 is never held
    EXPECT_EQ(record.inputBits[ACT_SLOW], 0);

    record.replayPlayback = true;
    engine_->SetKey('Z', false);
    record.inputBits[ACT_SLOW] = 1;
    record.inputBits[ACT_SHOOT] = 0;
    EXPECT_TRUE(ReadAction(ACT_SLOW));
    EXPECT_FALSE(ReadAction(ACT_SHOOT));
    engine_->SetKey('Z', true);
    EXPECT_FALSE(ReadAction(ACT_SHOOT));  // playback never looks at the keyboard
    record.replayPlayback = false;
}

TEST_F(InputTest, KeyHeldFocusedNeedsTheFocus) {
    engine_->SetKey(VK_SHIFT, true);
    EXPECT_TRUE(KeyHeldFocused(VK_SHIFT));
    engine_->SetFocus(false);
    EXPECT_FALSE(KeyHeldFocused(VK_SHIFT));
    EXPECT_FALSE(IsForeground());
}

// A frame's actions: words decode bit k to inputBits[k] and record back the same.
TEST_F(InputTest, EveryWordDecodesAndRecordsBackUnchanged) {
    run.frameCounter = 10;
    for (int32_t word = 0; word < 256; ++word) {
        record.replayFrame = 0;
        record.replayInputs[1] = word;
        record.replayPlayback = true;
        BeginFrameActions();
        ASSERT_EQ(record.replayFrame, 1);
        for (int k = 0; k < 8; ++k) ASSERT_EQ(record.inputBits[k], (word >> k) & 1) << word << " bit " << k;
        record.replayPlayback = false;
        record.replayInputs[1] = -1;
        EndFrameActions();
        ASSERT_EQ(record.replayInputs[1], word);
    }
}

// Words the game never writes are kept by the loader and decode by the same rule: from bit 7
// down, a bit is set when what is left of the word reaches its weight.
TEST_F(InputTest, WordsOutsideAByteDecodeByTheSameRule) {
    const int32_t words[3] = {-1, 256, 300};
    const uint8_t expected[3][8] = {{0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1},
                                    {1, 1, 1, 1, 1, 1, 1, 1}};
    record.replayPlayback = true;
    run.frameCounter = 10;
    for (int i = 0; i < 3; ++i) {
        record.replayInputs[1] = words[i];
        record.replayFrame = 0;
        BeginFrameActions();
        for (int k = 0; k < 8; ++k) EXPECT_EQ(record.inputBits[k], expected[i][k]) << words[i] << " bit " << k;
    }
    record.replayPlayback = false;
}

TEST_F(InputTest, FrameActionsChangeOnlyOnFramesOfPlay) {
    record.replayPlayback = true;
    record.replayInputs[5] = 255;
    for (int k = 0; k < 8; ++k) record.inputBits[k] = 1;

    // Frames past the record (resumed after its end) and far past the table hold no actions.
    run.frameCounter = 50;
    for (int32_t frame : {kReplayMaxEnd + 1, 2000000, -3}) {
        record.replayFrame = frame - 1;
        BeginFrameActions();
        for (int k = 0; k < 8; ++k) EXPECT_EQ(record.inputBits[k], 0);
    }

    // Before play and in the end sequence the record does not advance and the bits are neither
    // cleared nor decoded.
    for (int32_t counter : {-1, 100000}) {
        run.frameCounter = counter;
        record.replayFrame = 4;
        for (int k = 0; k < 8; ++k) record.inputBits[k] = 1;
        BeginFrameActions();
        EXPECT_EQ(record.replayFrame, 4);
        for (int k = 0; k < 8; ++k) EXPECT_EQ(record.inputBits[k], 1);
    }

    // Nothing is recorded during playback, in the end sequence, or outside the table.
    record.replayFrame = 5;
    run.frameCounter = 50;
    record.replayInputs[5] = 7;
    EndFrameActions();
    EXPECT_EQ(record.replayInputs[5], 7);
    record.replayPlayback = false;
    run.frameCounter = 100000;
    EndFrameActions();
    EXPECT_EQ(record.replayInputs[5], 7);
    run.frameCounter = 50;
    record.replayFrame = kReplayMaxWords + 1;
    record.replayInputs[kReplayMaxWords + 1] = 0;
    EndFrameActions();
    EXPECT_EQ(record.replayInputs[kReplayMaxWords + 1], 0);
}

TEST_F(InputTest, TheReplayEndsWhenEveryWordIsUsed) {
    record.replayEnd = 3;
    record.replayFrame = 2;
    record.replayPlayback = true;
    EXPECT_FALSE(ReplayEnded());
    record.replayFrame = 3;
    EXPECT_TRUE(ReplayEnded());
    record.replayPlayback = false;  // a recording game never runs out
    EXPECT_FALSE(ReplayEnded());
}

}  // namespace
