// text_input.cpp -- TextInput and the text handler that feeds the active field.
#include "ui/text_input.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "assets/catalogue.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "platform/code_page.h"

TextInput* activeField = nullptr;
int32_t selStart = 0, selEnd = 0;
char compositionText[kCompositionRoom] = {};
char candidateText[kCandidateRoom] = {};
int32_t compositionCaret = 0;
float imeAnchorX = 0, imeAnchorY = 0;
float mouseX = 0, mouseY = 0;

namespace {

constexpr int kBoxTexture = TEX_COLOR2;  // the white box, the selection mark and the composition box
bool handlerInstalled = false;

// Makes `field` the active one (or none) and turns the platform's text input on only while a
// field is active, so that the input method never takes the game's keys on other screens.
void SetActiveField(TextInput* field) {
    if (activeField == field) return;
    activeField = field;
    Engine* engine = hgeCreate(HGE_VERSION);
    engine->Input_SetTextInput(field != nullptr);
    engine->Release();
    if (field == nullptr) {
        // Turning text input off ends the input method's composition.
        compositionText[0] = '\0';
        candidateText[0] = '\0';
        compositionCaret = 0;
    }
}

// Copies GBK text into a buffer of `room` bytes, cut on a character boundary.
void CopyCut(char* out, int room, const char* in) {
    std::strncpy(out, in != nullptr ? in : "", size_t(room - 1));
    out[room - 1] = '\0';
    // A composition or candidate page longer than the buffer keeps its whole characters only,
    // with room for a terminator to spare.
    CutCodePage(out, size_t(room - 2));
}

bool IsEditingKey(int vk) { return (vk >= VK_END && vk <= VK_DOWN) || vk == VK_DELETE; }

}  // namespace

void TextInputEvent(const TextEvent& event) {
    switch (event.type) {
        case TextEventType::KeyDown:
            if (activeField != nullptr && IsEditingKey(event.code) && IsForeground()) {
                activeField->OnKey(event.code);
            }
            break;
        case TextEventType::Char:
            if (!KeyHeldFocused(VK_CONTROL) && activeField != nullptr && IsForeground()) {
                activeField->OnChar(event.code);
            }
            break;
        case TextEventType::Composition:
            if (activeField == nullptr) break;
            CopyCut(compositionText, kCompositionRoom, event.composition);
            CopyCut(candidateText, kCandidateRoom, event.candidates);
            compositionCaret = std::clamp(event.compositionCursor, 0,
                                          int(std::strlen(compositionText)));
            break;
    }
}

TextInput::TextInput(int w, int h, uint32_t colour, const char*, int fontSize, bool, bool, bool) {
    if (!Engine_WindowOpen()) throw std::logic_error("a text field needs the engine's window");
    engine = hgeCreate(HGE_VERSION);
    if (!handlerInstalled) {
        engine->Input_SetTextHandler(TextInputEvent);
        handlerInstalled = true;
    }
    width = float(w != 0 ? w : 1);
    height = float(h != 0 ? h : 1);
    lineHeight = float(fontSize != 0 ? fontSize : 12);
    caretSprite = new Sprite(0, 0, 0, 1, lineHeight);
    caretSprite->SetTint(0xFFFF00FF);
    fieldFont.SetTint(colour, -1);
    caret = 0;
    hitRect = Rect(0, 0, 0, 0);
    text[0] = 0;
    narrowText[0] = '\0';
    lineCount = 0;
}

TextInput::~TextInput() {
    if (activeField == this) SetActiveField(nullptr);
    delete caretSprite;
    engine->Release();
}

int TextInput::Length() const {
    int n = 0;
    while (text[n] != 0) ++n;
    return n;
}

float TextInput::Cell(char16_t c) const { return fieldFont.Advance(c); }

void TextInput::KeepOneLineInBox() {
    // The layout below cuts a one-line field's text only up to the caret. Typed in front of the
    // text (after Home), the text would grow past the box unseen; it keeps here what the layout
    // keeps when typing at the end: up to the first unit that starts at or beyond the right edge.
    if (height / lineHeight - 2 > 0) return;  // a field that wraps onto further lines
    float penX = 0;
    for (int k = 0; text[k] != 0; ++k) {
        if (penX >= width) {
            text[k + 1] = 0;
            caret = std::min(caret, k + 1);
            return;
        }
        penX += Cell(text[k]);
    }
}

bool TextInput::IsActive(const TextInput* field) { return field != nullptr && activeField == field; }

void TextInput::Deactivate() { SetActiveField(nullptr); }

void TextInput::Reset() {
    text[0] = 0;
    caret = 0;
}

const char* TextInput::GetText() {
    WideToCodePage(text, size_t(Length()), narrowText, sizeof narrowText);
    return narrowText;
}

void TextInput::InsertChar(char16_t c) {
    if (c == u'\n' && !(height / lineHeight - 2 > float(lineCount))) return;
    int length = Length();
    if (length >= kMaxUnits) return;
    caret = std::clamp(caret, 0, length);
    std::memmove(text + caret + 1, text + caret, sizeof(char16_t) * size_t(length - caret + 1));
    text[caret] = c;
    ++caret;
}

void TextInput::InsertText(const char* gbk) {
    static char16_t wide[kMaxUnits * 2 + 2];
    size_t n = CodePageToWide(gbk, -1, wide, sizeof wide / sizeof wide[0]);
    for (size_t i = 0; i < n; ++i) {
        if (wide[i] != u'\r') InsertChar(wide[i]);
    }
}

void TextInput::DeleteBack() {
    if (caret <= 0) return;
    --caret;
    int length = Length();
    if (caret >= length) return;
    std::memmove(text + caret, text + caret + 1, sizeof(char16_t) * size_t(length - caret));
}

void TextInput::RemoveSelection() {
    if (selStart >= selEnd) return;
    // The selection is shared by all fields: one made in a longer field must not reach past
    // this field's text.
    int length = Length();
    int from = std::clamp(selStart, 0, length);
    int to = std::clamp(selEnd, 0, length);
    std::memmove(text + from, text + to, sizeof(char16_t) * size_t(length - to + 1));
    caret = from;
    selEnd = selStart;
}

namespace {

// A character event carries a printable ASCII code or the two bytes of a GBK character; any
// other code (0, a control code, a lone byte 0x80..0xFF, a pair GBK does not use) is no
// character and would put a NUL or a stray byte into the name.
bool IsCharacterCode(int code) {
    if (code == 22) return true;  // Ctrl+V, refused below as it always was
    if (code < 0x80) return code >= 0x20 && code != 0x7F;
    if (code > 0xFFFF) return false;
    const int lead = code >> 8, trail = code & 0xFF;
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE || trail == 0x7F) return false;
    const char bytes[2] = {char(lead), char(trail)};
    char16_t unit[2];
    return CodePageToWide(bytes, 2, unit, 2) == 1 && unit[0] != 0 && unit[0] != u'?';
}

}  // namespace

void TextInput::OnChar(int code) {
    switch (code) {
        case 9:
        case 27:
            return;
        case 13:
            RemoveSelection();
            InsertText("\n");
            return;
        case 8:
            if (selStart == selEnd) DeleteBack();
            RemoveSelection();
            return;
        default:
            break;
    }
    RemoveSelection();
    if (caret >= kMaxUnits || Length() >= kMaxUnits) return;
    if (!IsCharacterCode(code)) return;
    char bytes[3] = {};
    int count = 1;
    if (code >= 128) {
        bytes[0] = char((code >> 8) & 0xFF);
        bytes[1] = char(code & 0xFF);
        count = 2;
    } else if (code == 22) {  // Ctrl+V: nothing is pasted
        return;
    } else {
        bytes[0] = char(code);
    }
    char16_t unit[2];
    if (CodePageToWide(bytes, count, unit, 2) > 0) InsertChar(unit[0]);
}

void TextInput::OnKey(int vk) {
    int length = Length();
    caret = std::clamp(caret, 0, length);
    switch (vk) {
        case VK_DELETE:
            text[caret] = 0;
            return;
        case VK_HOME:
            caret = 0;
            return;
        case VK_END:
            caret = length;
            return;
        case VK_LEFT:
            if (caret > 0) --caret;
            break;
        case VK_RIGHT:
            if (caret < length) ++caret;
            break;
        case VK_UP: {
            float cx = originX, cy = originY;
            for (int k = 0; k < caret; ++k) {
                if (text[k] == u'\n') {
                    cy += lineHeight;
                    cx = originX;
                } else {
                    cx += Cell(text[k]);
                }
            }
            float penX = originX, penY = originY;
            for (int k = 0; k < length;) {
                char16_t c = text[k];
                ++k;
                if (c == u'\n') {
                    penY += lineHeight;
                    if (penY >= cy - 1) {
                        caret = k - 1;
                        break;
                    }
                    penX = originX;
                } else {
                    penX += Cell(c);
                }
                if (penX >= cx && penY >= cy - lineHeight - 1) {
                    caret = k;
                    break;
                }
            }
            break;
        }
        case VK_DOWN: {
            float penX = originX, penY = originY;
            float cx = 0, cy = 0;
            bool noted = false;
            for (int k = 0; k < length;) {
                if (!noted && k == caret) {
                    cx = penX;
                    cy = penY;
                    noted = true;
                }
                char16_t c = text[k];
                ++k;
                if (c == u'\n') {
                    penY += lineHeight;
                    penX = originX;
                } else {
                    penX += Cell(c);
                }
                if (noted && penX >= cx && penY >= cy + lineHeight - 1) {
                    caret = k;
                    break;
                }
            }
            break;
        }
        default:
            return;
    }
    selStart = selEnd = caret;
}

void TextInput::PlaceCaret() {
    SetActiveField(this);
    caret = 0;
    float mx = std::clamp(mouseX, originX, originX + width);
    float my = std::clamp(mouseY, originY, originY + height);
    float h = lineHeight;
    float penX = originX, penY = originY;
    int line = 0;
    for (int k = 0; text[k] != 0; ++k) {
        char16_t c = text[k];
        if (mx - h / 2 < penX && (my < penY || line == lineCount)) break;
        if (my - h <= penY && (mx <= penX || c == u'\n')) break;
        ++caret;
        if (c == u'\n') {
            ++line;
            penY += h;
            penX = originX;
        } else {
            penX += Cell(c);
        }
    }
}

void TextInput::Click() {
    PlaceCaret();
    if (KeyHeldFocused(VK_SHIFT)) selEnd = caret;
    else selStart = caret;
}

void TextInput::Drag() {
    float h = lineHeight;
    if (mouseX < originX + h / 2 && mouseY < originY + h / 2) {
        SetActiveField(this);
        caret = 0;
    } else {
        PlaceCaret();
    }
    selEnd = caret;
    if (selEnd < selStart) std::swap(selStart, selEnd);
}

void TextInput::Update() {
    float mx = 0, my = 0;
    engine->Input_GetMousePos(&mx, &my);
    if (keyPhases[VK_LBUTTON] == KeyPhase::Pressed) {
        if (hitRect.Contains(mx, my)) Click();
        else if (IsActive(this)) Deactivate();
    }
    if (keyPhases[VK_LBUTTON] == KeyPhase::Held && IsActive(this)) Drag();
}

void TextInput::Draw(float x, float y) {
    originX = x;
    originY = y;
    float left = x - 1, top = y - 1;
    float boxWidth = width + 10, boxHeight = height + 2;

    overlaySprite->ChangeTexture(textures[kBoxTexture]);
    overlaySprite->SetRegion(65, 97, 6, 6);
    overlaySprite->SetTint(0xFFFFFFFF);
    overlaySprite->DrawTransformed(left, top, 0.0f, boxWidth / 6, boxHeight / 6);

    const uint32_t black = 0xFF000000;
    engine->Gfx_RenderLine(left, top, left + boxWidth, top, black, 0.5f);
    engine->Gfx_RenderLine(left, top + 1, left + boxWidth, top + 1, black, 0.5f);
    engine->Gfx_RenderLine(left, top, left, top + boxHeight, black, 0.5f);
    engine->Gfx_RenderLine(left - 1, top, left - 1, top + boxHeight, black, 0.5f);
    engine->Gfx_RenderLine(left + boxWidth, top + boxHeight, left + boxWidth, top, black, 0.5f);
    engine->Gfx_RenderLine(left + 1 + boxWidth, top + boxHeight, left + 1 + boxWidth, top, black,
                           0.5f);
    engine->Gfx_RenderLine(left + boxWidth, top + boxHeight, left, top + boxHeight, black, 0.5f);
    engine->Gfx_RenderLine(left + boxWidth, top + boxHeight - 1, left, top + boxHeight - 1, black,
                           0.5f);

    hitRect = Rect(x, y, x + width, y + height);

    bool active = IsActive(this);
    KeepOneLineInBox();
    float caretX = x, caretY = y;
    if (caret > 0) {
        float penX = x, penY = y;
        int lines = 0, i = 0, prefix = 0;
        for (int k = 0; text[k] != 0; ++k) {
            char16_t c = text[k];
            ++i;
            if (i > caret) {
                if (c == u'\n') ++lines;
            } else if (c == u'\n') {
                ++lines;
                penY += lineHeight;
                penX = x;
                prefix = i;
            } else if (penX < x + width) {
                if (active && selStart <= i - 1 && i - 1 < selEnd) {
                    overlaySprite->SetTint(0xFFFFFFFF);
                    overlaySprite->ChangeTexture(textures[kBoxTexture]);
                    overlaySprite->SetRegion(73, 97, 6, 6);
                    overlaySprite->DrawTransformed(penX, penY + 2, 0.0f, fieldFont.Advance(c) / 6,
                                                   (lineHeight + 1) / 6);
                }
                penX += Cell(c);
            } else if (height / lineHeight - 2 > float(lines) && Length() < kMaxUnits) {
                // A field tall enough for more lines wraps c onto the next one.
                int length = Length();
                std::memmove(text + k + 1, text + k, sizeof(char16_t) * size_t(length - k + 1));
                text[k] = u'\n';
                ++caret;
                ++lines;
                penY += lineHeight;
                penX = x;
                prefix = i;
            } else {
                // A one-line field keeps the first character past its right edge (the box's
                // clipping cuts it) and drops the rest.
                text[k + 1] = 0;
                ++lines;
                caret = i;
                break;
            }
        }
        lineCount = lines;
        static char16_t part[kMaxUnits + 1];
        auto widthOf = [](const char16_t* t, int n) {
            std::memcpy(part, t, sizeof(char16_t) * size_t(n));
            part[n] = 0;
            return fieldFont.Measure(part).width;
        };
        caretX = x + float(widthOf(text, caret)) - float(widthOf(text, prefix));
        caretY = penY;
    }

    engine->Gfx_SetClipping(int(left), int(top), int(boxWidth), int(boxHeight));
    fieldFont.DrawWide(x, y + 2, 0, text, 1.0f);
    if (active) {
        caretSprite->SetDepth(0.08f);
        caretSprite->Draw(caretX, caretY + 2);
        imeAnchorX = caretX;
        imeAnchorY = caretY + lineHeight;
        caretSprite->SetDepth(0.09f);
        // The input method's own candidate window goes below the composition box.
        engine->Input_SetTextInputRect(caretX, caretY, 1, lineHeight + 47);
    }
    engine->Gfx_SetClipping(0, 0, 0, 0);
}

void TextInput::DrawComposition() {
    if (compositionText[0] == '\0') return;
    Engine* engine = hgeCreate(HGE_VERSION);
    // Where the platform reports no candidates the box is as wide as the composition, so that
    // the composition still shows on a box of its own.
    int n = int(std::max(std::strlen(candidateText), std::strlen(compositionText)));
    float bx = imeAnchorX, by = imeAnchorY;
    float screenWidth = float(engine->System_GetState(HGE_SCREENWIDTH));
    if (screenWidth < bx + 7.2f * float(n)) bx = float(int(screenWidth - 7.2f * float(n)));

    overlaySprite->ChangeTexture(textures[kBoxTexture]);
    overlaySprite->SetRegion(123, 105, 6, 6);
    overlaySprite->SetTint(0x9BFFFFFF);
    overlaySprite->DrawTransformed(bx + 5, by + 5, 0.0f, 1.2f * float(n), 7.0f);

    fieldFont.SetTint(0xFFFFFFFF, -1);
    fieldFont.DrawText(bx + 8, by + 8, 0, compositionText, 1.0f);
    fieldFont.DrawText(bx + 8, by + 28, 0, candidateText, 1.0f);
    fieldFont.SetTint(0xFF000000, -1);

    float cursorX = bx + 9 + 7.0f * float(compositionCaret);
    engine->Gfx_RenderLine(cursorX, by + 9, cursorX, by + 23, 0xFFFF0000, 0.5f);
    engine->Release();
}
