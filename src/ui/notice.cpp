// notice.cpp -- the window's notice and the fast-forward mark, drawn over the game's picture.
#include "ui/notice.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "gfx/bitmap_font.h"
#include "gfx/sprite.h"

namespace {

struct Notice {
    NoticeTone tone = NoticeTone::Done;
    std::string title;
    std::string detail;
    double age = 0;       // seconds it has been on screen
    double seconds = -1;  // how long it stays; it is gone once its age reaches this
    double lastSeen = 0;  // the clock when it was last drawn (or shown)
    float progress = -1;  // the bar's fill, 0..1; negative: no bar
};

Notice notice;

// The notice sits in the bottom left corner, a box as wide as its longest line.
constexpr float kMargin = 8;       // from the window's edges
constexpr float kPadding = 7;      // inside the box, around the text
constexpr float kStripe = 4;       // the coloured edge on the left that says how it went
constexpr float kLineGap = 3;
constexpr float kBarHeight = 4;
constexpr float kMaxWidth = 640 - 2 * kMargin;
constexpr double kFadeIn = 0.12;
constexpr double kFadeOut = 0.35;
// A notice ages by the time between the pictures it is drawn in, but by no more than this for
// one picture: a long frame (the title's loading, a busy machine) does not take it away unseen.
constexpr double kLongestStep = 0.1;

constexpr uint32_t kBoxColour = 0xD0101318;
constexpr uint32_t kTitleColour = 0xFFFFFFFF;
constexpr uint32_t kDetailColour = 0xFFC4C8CC;
constexpr uint32_t kTrackColour = 0xFF3A4048;

uint32_t ToneColour(NoticeTone tone) {
    switch (tone) {
        case NoticeTone::Done: return 0xFF52C878;
        case NoticeTone::Failed: return 0xFFE8504A;
        case NoticeTone::Working: return 0xFF5AA0E6;
    }
    return 0xFFFFFFFF;
}

// Scales a colour's alpha by `fade` (0..1).
uint32_t Faded(uint32_t colour, float fade) {
    uint32_t alpha = uint32_t(float(colour >> 24) * std::clamp(fade, 0.0f, 1.0f) + 0.5f);
    return (alpha << 24) | (colour & 0xFFFFFF);
}

// One untextured quad for every box, edge and bar.
Sprite& Plain() {
    static Sprite* plain = new Sprite(0, 0, 0, 1, 1);  // for the whole run, as the game's own
    return *plain;
}

void Fill(float x1, float y1, float x2, float y2, uint32_t colour) {
    Sprite& s = Plain();
    s.SetDepth(0.0f);
    s.SetTint(colour);
    s.DrawStretched(x1, y1, x2, y2);
}

// The longest start of `text` that fits in `width` with the font, "..." marking a cut.
std::string Fitted(const BitmapFont* font, const std::string& text, float width) {
    if (font == nullptr || font->TextWidth(text.c_str(), false) <= width) return text;
    std::string cut = text;
    while (!cut.empty() && font->TextWidth((cut + "...").c_str(), false) > width) cut.pop_back();
    return cut + "...";
}

}  // namespace

void ShowNotice(NoticeTone tone, const char* title, const char* detail, double now, double seconds) {
    // A notice that replaces one still on screen shows at once, without fading in again.
    const bool showing = NoticeShown();
    notice.tone = tone;
    notice.title = title != nullptr ? title : "";
    notice.detail = detail != nullptr ? detail : "";
    notice.age = showing ? std::min(notice.age, kFadeIn) : 0;
    notice.seconds = seconds;
    notice.lastSeen = now;
    notice.progress = -1;
}

void ShowProgress(const char* title, const char* detail, float fraction, double now) {
    ShowNotice(NoticeTone::Working, title, detail, now);
    notice.progress = std::clamp(fraction, 0.0f, 1.0f);
}

void HideNotice() { notice.seconds = -1; }

bool NoticeShown() { return notice.age < notice.seconds; }

void DrawNotice(BitmapFont* font, double now) {
    if (!NoticeShown()) return;
    notice.age += std::clamp(now - notice.lastSeen, 0.0, kLongestStep);
    notice.lastSeen = now;
    if (!NoticeShown()) return;
    const float fade = float(std::min({notice.age / kFadeIn, (notice.seconds - notice.age) / kFadeOut, 1.0}));
    const float lineHeight = font != nullptr ? font->GlyphHeight() : 16;
    const float textRoom = kMaxWidth - kStripe - 2 * kPadding;
    const std::string title = Fitted(font, notice.title, textRoom);
    const std::string detail = Fitted(font, notice.detail, textRoom);
    float textWidth = 0;
    int lines = 0;
    for (const std::string* line : {&title, &detail}) {
        if (line->empty()) continue;
        ++lines;
        if (font != nullptr) textWidth = std::max(textWidth, font->TextWidth(line->c_str(), false));
    }
    const bool bar = notice.progress >= 0;
    if (bar) textWidth = std::max(textWidth, 160.0f);
    float height = 2 * kPadding + float(lines) * lineHeight + float(std::max(lines - 1, 0)) * kLineGap;
    if (bar) height += kLineGap + kBarHeight + 2;
    const float left = kMargin;
    const float right = left + kStripe + 2 * kPadding + textWidth;
    const float bottom = 480 - kMargin;
    const float top = bottom - height;

    Fill(left, top, right, bottom, Faded(kBoxColour, fade));
    Fill(left, top, left + kStripe, bottom, Faded(ToneColour(notice.tone), fade));
    const float textLeft = left + kStripe + kPadding;
    float y = top + kPadding;
    if (font != nullptr) {
        const uint32_t tint = font->Tint();
        for (const auto& [line, colour] : {std::pair{&title, kTitleColour}, {&detail, kDetailColour}}) {
            if (line->empty()) continue;
            font->SetTint(Faded(colour, fade));
            font->Draw(textLeft, y, ALIGN_LEFT, line->c_str());
            y += lineHeight + kLineGap;
        }
        font->SetTint(tint);
    }
    if (bar) {
        const float barTop = bottom - kPadding - kBarHeight;
        Fill(textLeft, barTop, textLeft + textWidth, barTop + kBarHeight, Faded(kTrackColour, fade));
        Fill(textLeft, barTop, textLeft + textWidth * notice.progress, barTop + kBarHeight,
             Faded(ToneColour(NoticeTone::Working), fade));
    }
}

void DrawFastForwardMark(BitmapFont* font) {
    // Two arrowheads and "x4" on a dark plate at the top of the left margin.
    constexpr float kLeft = 6, kTop = 6, kHeight = 22;
    constexpr float kArrow = 10;  // each arrowhead's width
    constexpr uint32_t kMarkColour = 0xFF5AA0E6;
    const float textWidth = font != nullptr ? font->TextWidth("x4", false) : 22;
    const float right = kLeft + 6 + 2 * kArrow + 4 + textWidth + 6;
    Fill(kLeft, kTop, right, kTop + kHeight, kBoxColour);
    Sprite& s = Plain();
    s.SetTint(kMarkColour);
    const float mid = kTop + kHeight / 2;
    for (int i = 0; i < 2; ++i) {
        const float x = kLeft + 6 + float(i) * kArrow;
        // A triangle: a quad whose last two corners meet at the point.
        s.DrawCorners(x, kTop + 5, x + kArrow, mid, x + kArrow, mid, x, kTop + kHeight - 5);
    }
    if (font != nullptr) {
        const uint32_t tint = font->Tint();
        font->SetTint(kMarkColour);
        font->Draw(kLeft + 6 + 2 * kArrow + 4, mid - font->GlyphHeight() / 2, ALIGN_LEFT, "x4");
        font->SetTint(tint);
    }
}
