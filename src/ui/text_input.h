// text_input.h -- TextInput, the one-line text field of the replay save screen: a white box with
// a black border, its text in fieldFont, a caret, a mouse selection, the editing keys, and text
// from the keyboard and from an input method (Chinese by pinyin, for example).
//
// A field becomes the active one when it is clicked; only the active field takes keys and
// characters, which the engine hands over between frames through the text handler the first
// field installs (Engine::Input_SetTextHandler). The platform's text input is on exactly while
// a field is active. Text is held as UTF-16 (at most 1024 code units) and handed out in the
// game's code page by GetText.
#pragma once

#include <cstdint>

#include "gfx/sprite.h"
#include "platform/engine.h"

class TextInput {
public:
    static constexpr int kMaxUnits = 1024;

    // width and height of the text area (0 means 1); colour tints fieldFont; fontSize (0 means
    // 12) is the line height. The face name and the style flags are not used: every field draws
    // with the shared fieldFont. Throws when the engine's window is not open.
    TextInput(int width, int height, uint32_t colour, const char* face, int fontSize, bool bold,
              bool italic, bool antialias);
    ~TextInput();
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    void SetWidth(float w) { width = w; }
    void SetHeight(float h) { height = h; }
    // Once a frame: a press in the text area activates the field, a press elsewhere gives the
    // keys back; holding the button drags a selection. Sees the previous frame's mouse phase.
    void Update();
    // Once a frame inside the scene: box, border, selection marks, text, caret. Lays the text
    // out: wraps where the field is tall enough, otherwise cuts what lies past the right edge.
    void Draw(float x, float y);
    // The text in the game's code page.
    const char* GetText();
    static bool IsActive(const TextInput* field);
    // Leaves no field active.
    void Deactivate();
    void Reset();
    // GBK text, each unit inserted at the caret (carriage returns skipped).
    void InsertText(const char* text);
    void InsertChar(char16_t c);
    void DeleteBack();
    // Editing keys: End, Home, Left, Up, Right, Down and Delete (virtual keys 35..40, 46).
    void OnKey(int vk);
    // A character event (see TextEvent::code).
    void OnChar(int code);
    void Click();
    void Drag();
    // The input method's composition and candidates in a box under the caret of the active
    // field, while a composition is in progress.
    static void DrawComposition();

    const char16_t* Text() const { return text; }
    int Caret() const { return caret; }
    int LineCount() const { return lineCount; }
    float Width() const { return width; }
    float Height() const { return height; }
    const Rect& HitRect() const { return hitRect; }

private:
    void KeepOneLineInBox();
    void PlaceCaret();
    void RemoveSelection();
    int Length() const;
    float Cell(char16_t c) const;

    int32_t lineCount = 0;
    char16_t text[kMaxUnits + 1];
    // Room for every unit as two GBK bytes: a name the field took is handed out whole.
    char narrowText[2 * kMaxUnits + 1];
    float width;
    float height;
    int32_t caret = 0;
    Rect hitRect;
    float lineHeight;
    float originX = 0, originY = 0;
    Engine* engine;
    Sprite* caretSprite;
};

// The field that receives keys, or nullptr.
extern TextInput* activeField;
// The selection, code-unit indices, start included and end excluded; one for all fields.
extern int32_t selStart, selEnd;
// The input method's composition (GBK, cut on a character boundary), its cursor in bytes, and
// its candidate page ("1.A 2.B "; empty where the input method shows its own window).
constexpr int kCompositionRoom = 120;
constexpr int kCandidateRoom = 1024;
extern char compositionText[kCompositionRoom];
extern char candidateText[kCandidateRoom];
extern int32_t compositionCaret;
// Where the composition box goes: under the active field's caret.
extern float imeAnchorX, imeAnchorY;
// The mouse position the save screen records after drawing its fields; Click and Drag read
// it, so they see the previous frame's position.
extern float mouseX, mouseY;

// What the engine's text handler does with one event; the first field installs it.
void TextInputEvent(const TextEvent& event);
