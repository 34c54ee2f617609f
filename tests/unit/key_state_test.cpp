// KeyState: what the game reads of a key over frames, from the key's down and up events between
// them. A press that starts and ends between two frames is read for one frame; a held key reads
// as its events say.
#include "platform/key_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/engine.h"

namespace {

// A frame's events for one key: 'd' down, 'u' up, in order ("" for none); `held` is what the
// frame after them reads.
struct Frame {
    const char* events;
    bool held;
};

TEST(KeyStateTest, APressBetweenTwoFramesIsReadForOneFrameAndAHeldKeyAsItsEvents) {
    struct Case {
        const char* name;
        std::vector<Frame> frames;
    };
    const Case cases[] = {
        {"a tap is read for the next frame only", {{"", false}, {"du", true}, {"", false}}},
        {"two taps in one gap are one press", {{"dudu", true}, {"", false}}},
        {"a tap in each gap reads in each frame", {{"du", true}, {"du", true}, {"", false}}},
        {"a held key reads from its press to its release",
         {{"d", true}, {"", true}, {"", true}, {"u", false}, {"", false}}},
        {"a key let go and pressed again in one gap stays held", {{"d", true}, {"ud", true}, {"u", false}}},
        {"a held key let go, struck and let go in one gap reads once more",
         {{"d", true}, {"udu", true}, {"", false}}},
        {"auto-repeat of a held key changes nothing", {{"d", true}, {"d", true}, {"dd", true}, {"u", false}}},
        {"a release without a press reads nothing", {{"u", false}, {"", false}}},
    };
    for (const Case& c : cases) {
        KeyState keys;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            keys.NextFrame();
            for (const char* e = c.frames[i].events; *e != 0; ++e) {
                if (*e == 'd') keys.Press('Z');
                else keys.Release('Z');
            }
            EXPECT_EQ(keys.Held('Z'), c.frames[i].held) << c.name << ", frame " << i;
            EXPECT_EQ(keys.Held('Z'), c.frames[i].held) << c.name << ", read twice, frame " << i;
        }
    }
}

TEST(KeyStateTest, TheGenericModifiersFollowEitherSideTapsIncluded) {
    KeyState keys;
    keys.NextFrame();
    keys.Press(VK_RSHIFT);
    EXPECT_TRUE(keys.Held(VK_SHIFT));
    EXPECT_FALSE(keys.Held(VK_LSHIFT));
    keys.Release(VK_RSHIFT);
    EXPECT_TRUE(keys.Held(VK_SHIFT));  // tapped in this gap
    keys.NextFrame();
    EXPECT_FALSE(keys.Held(VK_SHIFT));
    keys.Press(VK_LCONTROL);
    keys.Press(VK_RCONTROL);
    keys.Release(VK_LCONTROL);
    keys.NextFrame();
    EXPECT_TRUE(keys.Held(VK_CONTROL));
    keys.Release(VK_RCONTROL);
    EXPECT_FALSE(keys.Held(VK_CONTROL));
    keys.Press(VK_LMENU);
    EXPECT_TRUE(keys.Held(VK_MENU));
}

TEST(KeyStateTest, LosingTheKeyboardLetsGoOfEverythingTapsIncluded) {
    KeyState keys;
    keys.NextFrame();
    keys.Press(VK_LBUTTON);
    keys.Release(VK_LBUTTON);
    keys.Press(VK_LEFT);
    keys.ReleaseAll();
    EXPECT_FALSE(keys.Held(VK_LBUTTON));
    EXPECT_FALSE(keys.Held(VK_LEFT));
}

TEST(KeyStateTest, CodesOutsideTheKeysAreNeverHeld) {
    KeyState keys;
    for (int vk : {0, -1, 256, 1000}) {
        keys.Press(vk);
        EXPECT_FALSE(keys.Held(vk)) << vk;
        keys.Release(vk);
    }
    keys.Press(255);
    EXPECT_TRUE(keys.Held(255));
}

}  // namespace
