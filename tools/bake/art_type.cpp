// art_type.cpp -- text set with FreeType from the DejaVu faces: layout, outline, glow, gradient.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "art.h"

const char* const kSans = "DejaVuSans.ttf";
const char* const kSansBold = "DejaVuSans-Bold.ttf";
const char* const kSerifBold = "DejaVuSerif-Bold.ttf";
const char* const kSerifBoldItalic = "DejaVuSerif-BoldItalic.ttf";
const char* const kSansCondBold = "DejaVuSansCondensed-Bold.ttf";
const char* const kMonoBold = "DejaVuSansMono-Bold.ttf";

namespace {

const char* const kFontDirs[] = {"/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/dejavu/",
                                 "/usr/local/share/fonts/"};

FT_Library Library() {
    static FT_Library lib = nullptr;
    if (lib == nullptr && FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "mirrorfall-bake: FreeType cannot start\n");
        std::exit(1);
    }
    return lib;
}

FT_Face Face(const char* file) {
    static std::map<std::string, FT_Face> faces;
    auto it = faces.find(file);
    if (it != faces.end()) return it->second;
    FT_Face face = nullptr;
    for (const char* dir : kFontDirs) {
        std::string path = std::string(dir) + file;
        if (FT_New_Face(Library(), path.c_str(), 0, &face) == 0) break;
        face = nullptr;
    }
    if (face == nullptr) {
        std::fprintf(stderr,
                     "mirrorfall-bake: the font %s is missing (install the Debian package "
                     "fonts-dejavu-core)\n", file);
        std::exit(1);
    }
    faces[file] = face;
    return face;
}

std::vector<uint32_t> DecodeUtf8(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        uint32_t cp = c;
        int extra = 0;
        if (c >= 0xF0) { cp = c & 7; extra = 3; }
        else if (c >= 0xE0) { cp = c & 15; extra = 2; }
        else if (c >= 0xC0) { cp = c & 31; extra = 1; }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (s[i] & 63);
        out.push_back(cp);
    }
    return out;
}

// Coverage of a text set on a baseline at y = 0, pen starting at x = 0.
struct Mask {
    int x0 = 0, y0 = 0, w = 0, h = 0;  // placement of the buffer relative to the pen origin
    std::vector<float> a;
    float inkX0 = 0, inkY0 = 0, inkX1 = 0, inkY1 = 0;  // tight ink bounds, pen-relative
    bool empty = true;
};

Mask Layout(const std::string& text, const TextStyle& st) {
    FT_Face face = Face(st.font);
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(st.size * 64)), 72, 72);
    FT_Matrix matrix = {FT_Fixed(std::lround(st.stretchX * 65536)), 0, 0, 0x10000};
    FT_Set_Transform(face, &matrix, nullptr);
    struct Placed {
        int x, y, w, h;
        std::vector<unsigned char> bits;
    };
    std::vector<Placed> glyphs;
    float pen = 0;
    FT_UInt prev = 0;
    for (uint32_t cp : DecodeUtf8(text)) {
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (prev != 0 && index != 0 && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, index, FT_KERNING_UNFITTED, &k);
            pen += k.x / 64.0f * st.stretchX;
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        Placed p;
        p.x = int(std::lround(pen)) + g->bitmap_left;
        p.y = -g->bitmap_top;
        p.w = int(g->bitmap.width);
        p.h = int(g->bitmap.rows);
        p.bits.resize(size_t(p.w) * p.h);
        for (int j = 0; j < p.h; ++j) {
            for (int i = 0; i < p.w; ++i) p.bits[size_t(j) * p.w + i] = g->bitmap.buffer[j * g->bitmap.pitch + i];
        }
        glyphs.push_back(std::move(p));
        pen += g->advance.x / 64.0f + st.tracking;
        prev = index;
    }
    Mask m;
    int minx = 1 << 20, miny = 1 << 20, maxx = -(1 << 20), maxy = -(1 << 20);
    for (const Placed& p : glyphs) {
        for (int j = 0; j < p.h; ++j) {
            for (int i = 0; i < p.w; ++i) {
                if (p.bits[size_t(j) * p.w + i] < 24) continue;
                minx = std::min(minx, p.x + i);
                maxx = std::max(maxx, p.x + i + 1);
                miny = std::min(miny, p.y + j);
                maxy = std::max(maxy, p.y + j + 1);
            }
        }
    }
    if (maxx <= minx) return m;
    m.empty = false;
    m.inkX0 = float(minx);
    m.inkX1 = float(maxx);
    m.inkY0 = float(miny);
    m.inkY1 = float(maxy);
    int pad = 2;
    m.x0 = minx - pad;
    m.y0 = miny - pad;
    m.w = maxx - minx + 2 * pad;
    m.h = maxy - miny + 2 * pad;
    m.a.assign(size_t(m.w) * m.h, 0.0f);
    for (const Placed& p : glyphs) {
        for (int j = 0; j < p.h; ++j) {
            for (int i = 0; i < p.w; ++i) {
                int x = p.x + i - m.x0, y = p.y + j - m.y0;
                if (x < 0 || y < 0 || x >= m.w || y >= m.h) continue;
                float& v = m.a[size_t(y) * m.w + x];
                v = std::min(1.0f, v + p.bits[size_t(j) * p.w + i] / 255.0f);
            }
        }
    }
    return m;
}

float Cover(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

}  // namespace

void MeasureText(const std::string& utf8, const TextStyle& style, float& width, float& height) {
    Mask m = Layout(utf8, style);
    width = m.inkX1 - m.inkX0;
    height = m.inkY1 - m.inkY0;
}

InkBox DrawText(Canvas& c, const std::string& utf8, TextStyle st, float bx, float by, float bw,
                float bh, int halign, int valign) {
    Mask m = Layout(utf8, st);
    float margin = st.outlineWidth + std::max(std::fabs(st.shadowDx), std::fabs(st.shadowDy));
    for (int tries = 0; tries < 4 && !m.empty; ++tries) {
        float iw = m.inkX1 - m.inkX0, ih = m.inkY1 - m.inkY0;
        float k = (bw - 2 * margin) / iw;
        if (valign != kAlignBaseline) k = std::min(k, (bh - 2 * margin) / ih);
        if (k >= 1.0f) break;
        st.size *= k * 0.985f;
        m = Layout(utf8, st);
    }
    InkBox box;
    if (m.empty) return box;
    float iw = m.inkX1 - m.inkX0, ih = m.inkY1 - m.inkY0;
    float inkLeft = bx + margin;
    if (halign == kAlignCentre) inkLeft = bx + (bw - iw) / 2;
    if (halign == kAlignRight) inkLeft = bx + bw - margin - iw;
    float originX = std::round(inkLeft - m.inkX0);
    float originY;
    if (valign == kAlignBaseline) {
        originY = std::round(by + bh);
    } else {
        float inkTop = by + margin;
        if (valign == kAlignMiddle) inkTop = by + (bh - ih) / 2;
        if (valign == kAlignBottom) inkTop = by + bh - margin - ih;
        originY = std::round(inkTop - m.inkY0);
    }
    box = {originX + m.inkX0, originY + m.inkY0, originX + m.inkX1, originY + m.inkY1};

    // Work area: the mask grown by the outline and the glow.
    int grow = int(std::ceil(st.outlineWidth + st.glowRadius * 2 + std::fabs(st.shadowDx) +
                             std::fabs(st.shadowDy))) + 2;
    int W = m.w + 2 * grow, H = m.h + 2 * grow;
    int ax = int(originX) + m.x0 - grow, ay = int(originY) + m.y0 - grow;
    std::vector<float> fill(size_t(W) * H, 0.0f), line(size_t(W) * H, 0.0f);
    for (int j = 0; j < m.h; ++j) {
        for (int i = 0; i < m.w; ++i) fill[size_t(j + grow) * W + i + grow] = m.a[size_t(j) * m.w + i];
    }
    // The outline: the fill dilated by a disc of the outline's radius, anti-aliased.
    float R = st.outlineWidth;
    if (R > 0) {
        int r = int(std::ceil(R)) + 1;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                float best = 0;
                for (int dy = -r; dy <= r; ++dy) {
                    int yy = y + dy;
                    if (yy < 0 || yy >= H) continue;
                    for (int dx = -r; dx <= r; ++dx) {
                        int xx = x + dx;
                        if (xx < 0 || xx >= W) continue;
                        float v = fill[size_t(yy) * W + xx];
                        if (v <= best) continue;
                        v *= Cover(std::sqrt(float(dx * dx + dy * dy)) - R);
                        best = std::max(best, v);
                    }
                }
                line[size_t(y) * W + x] = best;
            }
        }
    } else {
        line = fill;
    }
    auto at = [&](const std::vector<float>& v, int x, int y) {
        if (x < 0 || y < 0 || x >= W || y >= H) return 0.0f;
        return v[size_t(y) * W + x];
    };
    // The halo: the outline blurred twice with a box of the glow radius.
    if (st.glow.a > 0 && st.glowRadius > 0) {
        std::vector<float> g = line, t(g.size());
        int r = std::max(1, int(std::lround(st.glowRadius)));
        for (int pass = 0; pass < 2; ++pass) {
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    float s = 0;
                    for (int k = -r; k <= r; ++k) s += at(g, x + k, y);
                    t[size_t(y) * W + x] = s / (2 * r + 1);
                }
            }
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    float s = 0;
                    for (int k = -r; k <= r; ++k) s += at(t, x, y + k);
                    g[size_t(y) * W + x] = s / (2 * r + 1);
                }
            }
        }
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                float v = std::min(1.0f, g[size_t(y) * W + x] * 1.6f);
                c.Over(ax + x, ay + y, st.glow, v);
            }
        }
    }
    int sdx = int(std::lround(st.shadowDx)), sdy = int(std::lround(st.shadowDy));
    if (sdx != 0 || sdy != 0) {
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                c.Over(ax + x, ay + y, WithAlpha(st.outline, st.outline.a * 0.7f), at(line, x - sdx, y - sdy));
            }
        }
    }
    if (R > 0) {
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) c.Over(ax + x, ay + y, st.outline, line[size_t(y) * W + x]);
        }
    }
    for (int y = 0; y < H; ++y) {
        float t = std::clamp((ay + y + 0.5f - box.y0) / std::max(1.0f, box.y1 - box.y0), 0.0f, 1.0f);
        Rgba col = Mix(st.top, st.bottom, t);
        for (int x = 0; x < W; ++x) c.Over(ax + x, ay + y, col, fill[size_t(y) * W + x]);
    }
    return box;
}

TextStyle InkedText(const char* font, float size, Rgba bottom, float outlineWidth) {
    TextStyle st;
    st.font = font;
    st.size = size;
    st.top = pal::kWhite;
    st.bottom = bottom;
    st.outline = pal::kInk;
    st.outlineWidth = outlineWidth;
    return st;
}
