// TextInput through the headless engine's text events: editing keys, characters in the game's
// code page, the 1024-unit limit, selection by mouse, layout and cutting in a one-line field,
// activation, and the input method's composition.
#include "ui/text_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "assets/catalogue.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "support/headless.h"

namespace {

const char* const kLog = "text_input_test.log";

std::string ReadLog() {
    std::ifstream in(kLog);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::u16string Text(const TextInput& field) { return field.Text(); }

class TextInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();
        if (overlaySprite == nullptr) CreateStartupSprites();
        std::remove(kLog);
        engine->System_SetState(HGE_LOGFILE, kLog);
        selStart = selEnd = 0;
        keyPhases[VK_LBUTTON] = KeyPhase::Idle;
        for (auto& f : fields) f = std::make_unique<TextInput>(122, 122, 0xFF000000, "", 14, false, false, false);
        // The save screen's three fields and their places on slot 1's row.
        const float widths[] = {120, 80, 330};
        for (int i = 0; i < 3; ++i) {
            fields[i]->SetWidth(widths[i]);
            fields[i]->SetHeight(18);
        }
        DrawAll();
    }
    void TearDown() override {
        for (auto& f : fields) f.reset();
        engine->System_SetState(HGE_LOGFILE, "");
    }
    void DrawAll() {
        engine->Gfx_BeginScene();
        const float xs[] = {40, 180, 280};
        for (int i = 0; i < 3; ++i) fields[i]->Draw(xs[i], 36);
        engine->Gfx_EndScene();
    }
    // A press of the left button at (x, y): the field sees the press on the frame after the
    // mouse was recorded there.
    void ClickAt(float x, float y, bool shift = false) {
        mouseX = x;
        mouseY = y;
        engine->SetMouse(x, y);
        engine->SetKey(VK_SHIFT, shift);
        keyPhases[VK_LBUTTON] = KeyPhase::Pressed;
        for (auto& f : fields) f->Update();
        keyPhases[VK_LBUTTON] = KeyPhase::Idle;
        engine->SetKey(VK_SHIFT, false);
    }
    void DragTo(float x, float y) {
        mouseX = x;
        mouseY = y;
        engine->SetMouse(x, y);
        keyPhases[VK_LBUTTON] = KeyPhase::Held;
        for (auto& f : fields) f->Update();
        keyPhases[VK_LBUTTON] = KeyPhase::Idle;
    }
    void Type(const char* utf8) { engine->PushText(utf8); }
    void Key(int vk) { engine->PushKeyDown(vk); }

    HeadlessEngine* engine = nullptr;
    std::unique_ptr<TextInput> fields[3];
};

TEST_F(TextInputTest, EditingKeys) {
    struct Case { const char* name; std::vector<const char*> steps; std::u16string text; int caret; };
    // A step is text to type, or one of the keys named <Home>, <Left>, <Del>, <End>, <Right>,
    // <BS>, <Enter>, <Up>, <Down>.
    const Case cases[] = {
        {"home then type", {"ab", "<Home>", "c"}, u"cab", 1},
        {"delete erases to the end", {"abc", "<Left>", "<Left>", "<Del>"}, u"a", 1},
        {"end and right stop at the end", {"ab", "<Home>", "<End>", "<Right>", "x"}, u"abx", 3},
        {"left stops at 0", {"a", "<Left>", "<Left>", "b"}, u"ba", 1},
        {"backspace deletes one unit", {"a\xE4\xB8\xAD" "b", "<Left>", "<BS>"}, u"ab", 1},
        {"backspace at 0 does nothing", {"ab", "<Home>", "<BS>"}, u"ab", 0},
        {"enter adds nothing to a one-line field", {"ab", "<Enter>"}, u"ab", 2},
        {"up in a one-line field moves a caret at 0 to 1", {"ab", "<Home>", "<Up>"}, u"ab", 1},
        {"up leaves any other caret", {"abc", "<Left>", "<Up>"}, u"abc", 2},
        {"down leaves the caret", {"abc", "<Left>", "<Down>"}, u"abc", 2},
        {"tab and escape type nothing", {"a", "\t", "<Esc>"}, u"a", 1},
    };
    for (const Case& c : cases) {
        ClickAt(45, 40);
        fields[0]->Reset();
        selStart = selEnd = 0;
        for (const char* step : c.steps) {
            std::string s = step;
            if (s == "<Home>") Key(VK_HOME);
            else if (s == "<End>") Key(VK_END);
            else if (s == "<Left>") Key(VK_LEFT);
            else if (s == "<Right>") Key(VK_RIGHT);
            else if (s == "<Up>") Key(VK_UP);
            else if (s == "<Down>") Key(VK_DOWN);
            else if (s == "<Del>") Key(VK_DELETE);
            else if (s == "<BS>") Key(VK_BACK);
            else if (s == "<Enter>") Key(VK_RETURN);
            else if (s == "<Esc>") Key(VK_ESCAPE);
            else if (s == "\t") Key(VK_TAB);
            else Type(step);
        }
        EXPECT_EQ(Text(*fields[0]), c.text) << c.name;
        EXPECT_EQ(fields[0]->Caret(), c.caret) << c.name;
    }
}

TEST_F(TextInputTest, DraggingSelectsAndTypingReplacesTheSelection) {
    ClickAt(45, 40);
    Type("hello");
    DrawAll();
    // From the right end of hello to the left edge of its e.
    ClickAt(40 + 5 * 7 + 2, 40);
    DragTo(40 + 7, 40);
    EXPECT_EQ(selStart, 1);
    EXPECT_EQ(selEnd, 5);
    Type("X");
    EXPECT_EQ(Text(*fields[0]), u"hX");
}

// Backspace with a selection deletes only the selection; Enter in a one-line field changes
// nothing but removing it.
TEST_F(TextInputTest, BackspaceAndEnterRemoveOnlyTheSelection) {
    for (int key : {int(VK_BACK), int(VK_RETURN)}) {
        ClickAt(45, 40);
        fields[0]->Reset();
        Type("abcd");
        selStart = 1;
        selEnd = 3;
        Key(key);
        EXPECT_EQ(Text(*fields[0]), u"ad") << "key " << key;
        EXPECT_EQ(fields[0]->Caret(), 1) << "key " << key;
    }
}

TEST_F(TextInputTest, ASelectionFromALongerFieldStaysInsideTheText) {
    ClickAt(45, 40);
    Type("abcdefgh");
    selStart = 2;
    selEnd = 8;
    ClickAt(185, 40);  // into field 1: selStart follows the caret, selEnd stays at 8
    Type("xy");
    EXPECT_EQ(Text(*fields[1]), u"xy");
    EXPECT_EQ(Text(*fields[0]), u"abcdefgh");
}

TEST_F(TextInputTest, AOneLineFieldCutsWhatPassesItsRightEdge) {
    ClickAt(45, 40);
    Type("abcdefghijklmnopqr");  // eighteen half-width characters: the last starts at 119
    DrawAll();
    EXPECT_EQ(fields[0]->Text(), std::u16string(u"abcdefghijklmnopqr"));
    Type("s");  // starts at 126: kept, cut by the box
    DrawAll();
    EXPECT_EQ(Text(*fields[0]).size(), 19u);
    Type("tu");  // dropped at the next draw
    DrawAll();
    EXPECT_EQ(Text(*fields[0]), u"abcdefghijklmnopqrs");
    EXPECT_EQ(fields[0]->Caret(), 19);
    EXPECT_EQ(fields[0]->LineCount(), 1);
}

TEST_F(TextInputTest, AFieldNeverHoldsMoreThan1024Units) {
    TextInput tall(2000, 2000, 0xFF000000, "", 14, false, false, false);
    tall.SetWidth(20000);
    mouseX = mouseY = 0;
    tall.Draw(0, 0);
    tall.Click();
    std::string many(1100, 'x');
    Type(many.c_str());
    EXPECT_EQ(Text(tall).size(), 1024u);
    tall.InsertText("yy");
    EXPECT_EQ(Text(tall).size(), 1024u);
    // Converted to the code page, a full field of Chinese is cut on a character boundary.
    tall.Reset();
    std::string chinese;
    for (int i = 0; i < 1024; ++i) chinese += "\xE4\xB8\xAD";
    Type(chinese.c_str());
    EXPECT_EQ(Text(tall).size(), 1024u);
    // ...and handed out whole: the field's limit and the replay file's agree.
    EXPECT_EQ(std::string(tall.GetText()).size(), 2048u);
}

TEST_F(TextInputTest, TypingInFrontOfTheTextKeepsAOneLineFieldInsideItsBox) {
    ClickAt(45, 40);
    Type("abcdefghijklmnopqrs");  // nineteen: the last starts past the edge and is kept
    DrawAll();
    Key(VK_HOME);
    for (int i = 0; i < 250; ++i) {
        Type("x");
        DrawAll();
    }
    // As much as typing at the end keeps: up to the first character past the right edge.
    EXPECT_EQ(Text(*fields[0]).size(), 19u);
    EXPECT_EQ(Text(*fields[0]).substr(0, 3), u"xxx");
    EXPECT_LE(fields[0]->Caret(), 19);
    Type("y");
    DrawAll();
    EXPECT_EQ(Text(*fields[0]).size(), 19u);
}

TEST_F(TextInputTest, CodesThatAreNoCharacterAreRefused) {
    ClickAt(45, 40);
    const int refused[] = {0, 1, 7, 31, 127, 0x80, 0xA4, 0xFF, 0x0041, 0x1041, 0x80FF, 0xFF40, 0xD67F,
                           0xD630, 0x10000, -5, 0x7FFFFFFF};
    for (int code : refused) {
        if (code == 0x0041) continue;  // 'A' itself is a character (below)
        fields[0]->OnChar(code);
        EXPECT_EQ(Text(*fields[0]), u"") << std::hex << code;
    }
    fields[0]->OnChar('A');
    fields[0]->OnChar(0xD6D0);  // 中
    EXPECT_EQ(Text(*fields[0]), u"A\u4E2D");
    EXPECT_STREQ(fields[0]->GetText(), "A\xD6\xD0");
}

TEST_F(TextInputTest, ClicksActivateOneFieldAndTextInputFollows) {
    EXPECT_FALSE(engine->TextInputOn());
    ClickAt(45, 40);
    EXPECT_TRUE(TextInput::IsActive(fields[0].get()));
    EXPECT_TRUE(engine->TextInputOn());
    ClickAt(300, 40);
    EXPECT_FALSE(TextInput::IsActive(fields[0].get()));
    EXPECT_TRUE(TextInput::IsActive(fields[2].get()));
    ClickAt(300, 300);
    EXPECT_EQ(activeField, nullptr);
    EXPECT_FALSE(engine->TextInputOn());
    // Text typed with no field active goes nowhere.
    Type("a");
    for (auto& f : fields) EXPECT_EQ(Text(*f), u"");
    // Destroying the active field leaves none active.
    ClickAt(185, 40);
    fields[1].reset();
    EXPECT_EQ(activeField, nullptr);
    EXPECT_FALSE(engine->TextInputOn());
}

TEST_F(TextInputTest, CharactersNeedTheForegroundAndNoCtrl) {
    ClickAt(45, 40);
    engine->SetKey(VK_CONTROL, true);
    Type("v");
    engine->SetKey(VK_CONTROL, false);
    engine->SetFocus(false);
    Type("w");
    Key(VK_HOME);
    engine->SetFocus(true);
    Type("x");
    EXPECT_EQ(Text(*fields[0]), u"x");
}

TEST_F(TextInputTest, ACharacterWithoutAGbkCodeIsRefusedWithALogLine) {
    ClickAt(45, 40);
    Type("a\xF0\x9F\x98\x80\xEA\xB0\x80" "b");  // an emoji and a Hangul syllable between a and b
    EXPECT_EQ(Text(*fields[0]), u"ab");
    EXPECT_NE(ReadLog().find("U+1F600"), std::string::npos);
    EXPECT_NE(ReadLog().find("U+AC00"), std::string::npos);
}

TEST_F(TextInputTest, ChineseIsStoredAndHandedOutInGbk) {
    ClickAt(45, 40);
    Type("a\xE4\xB8\xAD\xE6\x96\x87");  // a中文
    EXPECT_EQ(Text(*fields[0]), u"a\u4E2D\u6587");
    EXPECT_STREQ(fields[0]->GetText(), "a\xD6\xD0\xCE\xC4");
    fields[0]->OnChar(0xD6D0);
    EXPECT_EQ(Text(*fields[0]), u"a\u4E2D\u6587\u4E2D");
}

TEST_F(TextInputTest, CompositionFollowsTheInputMethodAndIsCutOnACharacterBoundary) {
    ClickAt(45, 40);
    Type("ab");
    DrawAll();
    EXPECT_FLOAT_EQ(imeAnchorX, 40 + 14);
    EXPECT_FLOAT_EQ(imeAnchorY, 36 + 14);
    engine->PushComposition("\xE4\xB8\xAD\xE6\x96\x87", 1);  // 中文, the cursor after 中
    EXPECT_STREQ(compositionText, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(compositionCaret, 2);
    // A composition longer than the buffer keeps whole characters only.
    std::string longer;
    for (int i = 0; i < 100; ++i) longer += "\xE4\xB8\xAD";
    engine->PushComposition(("a" + longer).c_str(), 100);
    size_t n = std::strlen(compositionText);
    EXPECT_EQ(n, 117u);  // a and 58 characters of two bytes
    EXPECT_EQ(compositionText[n - 2], '\xD6');
    EXPECT_LE(compositionCaret, int(n));
    // Committing types the text; the composition ends.
    engine->PushComposition("", 0);
    Type("\xE4\xB8\xAD");
    EXPECT_STREQ(compositionText, "");
    EXPECT_EQ(Text(*fields[0]), u"ab\u4E2D");
    // Leaving the field ends a composition in progress.
    engine->PushComposition("\xE4\xB8\xAD", 1);
    ClickAt(300, 300);
    EXPECT_STREQ(compositionText, "");
}

TEST_F(TextInputTest, TheCompositionBoxStaysInsideTheScreen) {
    ClickAt(40 + 2 * 330, 40);
    engine->SetRecordQuads(true);
    engine->ClearRecordedQuads();
    std::strcpy(compositionText, "zhong");
    std::strcpy(candidateText, "1.\xD6\xD0 2.\xD6\xD3 3.\xD6\xDA ");
    imeAnchorX = 600;
    imeAnchorY = 50;
    engine->Gfx_BeginScene();
    TextInput::DrawComposition();
    engine->Gfx_EndScene();
    ASSERT_FALSE(engine->RecordedQuads().empty());
    const hgeQuad& box = engine->RecordedQuads()[0];
    float n = float(std::strlen(candidateText));
    EXPECT_FLOAT_EQ(box.v[0].x, float(int(640 - 7.2f * n)) + 5);
    EXPECT_NEAR(box.v[1].x - box.v[0].x, 7.2f * n, 0.01f);
    EXPECT_FLOAT_EQ(box.v[3].y - box.v[0].y, 42);
    engine->SetRecordQuads(false);
    compositionText[0] = candidateText[0] = '\0';
}

}  // namespace
