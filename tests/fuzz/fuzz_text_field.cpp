// Fuzz target: the save screen's three text fields under any sequence of events: character codes
// (characters or not), UTF-8 text from the platform (well formed or not), editing keys, clicks,
// drags and draws. After every event no field holds more than 1024 units or a NUL, the caret
// stays inside the text, the text is handed out whole in the game's code page, and after a draw
// a one-line field keeps nothing past the first character beyond its right edge.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "assets/catalogue.h"
#include "core/state.h"
#include "fuzz_support.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "platform/headless_engine.h"
#include "ui/text_input.h"

namespace {

constexpr float kWidths[3] = {120, 80, 330};
constexpr float kXs[3] = {40, 180, 280};
constexpr int kKeys[] = {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_DELETE, VK_BACK};

void Check(TextInput& field, float width, bool drawn) {
    const char16_t* text = field.Text();
    size_t length = 0;
    while (text[length] != 0) ++length;
    FUZZ_CHECK(length <= size_t(TextInput::kMaxUnits));
    FUZZ_CHECK(field.Caret() >= 0 && size_t(field.Caret()) <= length);
    // Every unit is at least one byte in the code page: nothing is cut on the way out.
    FUZZ_CHECK(std::strlen(field.GetText()) >= length);
    if (drawn) {
        float pen = 0;
        for (size_t k = 0; k < length; ++k) {
            FUZZ_CHECK(k == 0 || pen - fieldFont.Advance(text[k - 1]) < width);
            pen += fieldFont.Advance(text[k]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HeadlessEngine* engine = [] {
        hge = hgeCreate(HGE_VERSION);
        hge->System_Initiate();
        CreateStartupSprites();
        return Headless();
    }();
    engine->ReleaseAllKeys();
    engine->SetFocus(true);
    selStart = selEnd = 0;
    std::unique_ptr<TextInput> fields[3];
    for (int i = 0; i < 3; ++i) {
        fields[i] = std::make_unique<TextInput>(122, 122, 0xFF000000, "", 14, false, false, false);
        fields[i]->SetWidth(kWidths[i]);
        fields[i]->SetHeight(18);
    }
    auto drawAll = [&] {
        engine->Gfx_BeginScene(0);
        for (int i = 0; i < 3; ++i) fields[i]->Draw(kXs[i], 36);
        engine->Gfx_EndScene();
    };
    drawAll();
    size_t i = 0;
    auto next = [&]() -> unsigned { return i < size ? data[i++] : 0u; };
    while (i < size) {
        bool drawn = false;
        switch (next() % 8) {
        case 0: {  // a character event of any code, straight to the active field
            const int code = int(next() << 8 | next()) | (next() % 4 == 0 ? int(next()) << 16 : 0);
            if (activeField != nullptr) activeField->OnChar(code);
            break;
        }
        case 1: {  // UTF-8 from the platform, well formed or not
            std::string utf8;
            for (unsigned n = next() % 12; n > 0 && i < size; --n) {
                const char c = char(next());
                if (c != '\0') utf8 += c;
            }
            engine->PushText(utf8.c_str());
            break;
        }
        case 2:
            engine->PushKeyDown(kKeys[next() % (sizeof kKeys / sizeof kKeys[0])]);
            break;
        case 3:
        case 4: {  // a press, or a drag, somewhere on the row of fields
            mouseX = float(next() % 200) * 3.2f;
            mouseY = float(next() % 64);
            engine->SetMouse(mouseX, mouseY);
            keyPhases[VK_LBUTTON] = next() % 2 == 0 ? KeyPhase::Pressed : KeyPhase::Held;
            for (auto& f : fields) f->Update();
            keyPhases[VK_LBUTTON] = KeyPhase::Idle;
            break;
        }
        case 5:
            if (activeField != nullptr) activeField->OnChar(next() % 2 == 0 ? 8 : 13);
            break;
        default:
            drawAll();
            drawn = true;
            break;
        }
        for (int f = 0; f < 3; ++f) Check(*fields[f], kWidths[f], drawn);
    }
    return 0;
}
