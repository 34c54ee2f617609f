// art_canvas.cpp -- the canvas, colours, anti-aliased shapes, glows and tiling noise.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of a texel by a shape whose signed distance (negative inside) is d.
float Cover(float d) { return Clamp01(0.5f - d); }

}  // namespace

// ---- Colour -------------------------------------------------------------------------------

Rgba RgbHex(uint32_t rgb, float alpha) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, alpha};
}

Rgba Mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Rgba WithAlpha(Rgba c, float alpha) { return {c.r, c.g, c.b, alpha}; }

Rgba Scale(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

Rgba Hue(float degrees, float v) {
    float h = std::fmod(degrees, 360.0f);
    if (h < 0) h += 360.0f;
    float x = h / 60.0f;
    auto channel = [&](float offset) {
        float k = std::fmod(offset + x, 6.0f);
        return v * (1.0f - std::max(0.0f, std::min({k, 4.0f - k, 1.0f})));
    };
    return {channel(5), channel(3), channel(1), 1};
}

float ColumnHue(int x) { return 43.2f - 1.40625f * float(x); }

namespace pal {
const Rgba kNight = RgbHex(0x070A1C);
const Rgba kDeep = RgbHex(0x141A44);
const Rgba kViolet = RgbHex(0x4A3488);
const Rgba kMist = RgbHex(0xB8C4FF);
const Rgba kSilver = RgbHex(0xDDE4F4);
const Rgba kGold = RgbHex(0xFFC94A);
const Rgba kCyan = RgbHex(0x7FE8FF);
const Rgba kInk = RgbHex(0x0A0818);
const Rgba kWhite = RgbHex(0xFFFFFF);
}  // namespace pal

// ---- Canvas ---------------------------------------------------------------------------------

Canvas::Canvas(int width, int height) : w_(width), h_(height), px_(size_t(width) * height * 4, 0.0f) {}

// A colour with a NaN channel (a shader's slip) paints nothing rather than poisoning the texel.
static bool Finite(Rgba c) { return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a); }

void Canvas::Over(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || !Finite(c) || !std::isfinite(coverage)) return;
    float a = Clamp01(c.a * coverage);
    if (a <= 0) return;
    float* p = &px_[(size_t(y) * w_ + x) * 4];
    p[0] = c.r * a + p[0] * (1 - a);
    p[1] = c.g * a + p[1] * (1 - a);
    p[2] = c.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::Add(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || !Finite(c) || !std::isfinite(coverage)) return;
    float a = Clamp01(c.a * coverage);
    if (a <= 0) return;
    float* p = &px_[(size_t(y) * w_ + x) * 4];
    p[0] = std::min(1.0f, p[0] + c.r * a);
    p[1] = std::min(1.0f, p[1] + c.g * a);
    p[2] = std::min(1.0f, p[2] + c.b * a);
    // Light on transparent: the texel becomes as opaque as its brightest channel needs, so the
    // premultiplied colour stays valid.
    p[3] = std::max(p[3], std::max({p[0], p[1], p[2]}));
}

void Canvas::Set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    float* p = &px_[(size_t(y) * w_ + x) * 4];
    p[0] = c.r * c.a;
    p[1] = c.g * c.a;
    p[2] = c.b * c.a;
    p[3] = c.a;
}

Rgba Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {0, 0, 0, 0};
    const float* p = &px_[(size_t(y) * w_ + x) * 4];
    if (p[3] <= 0) return {0, 0, 0, 0};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Canvas::Fill(Rgba c) { FillRect(0, 0, w_, h_, c); }

void Canvas::FillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) Set(i, j, c);
    }
}

void Canvas::Shade(int x0, int y0, int x1, int y1, const std::function<Rgba(float, float)>& shader,
                   int mode) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, w_);
    y1 = std::min(y1, h_);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Rgba s = shader(x + 0.5f, y + 0.5f);
            if (s.a <= 0) continue;
            if (mode == 0) {
                Over(x, y, s);
            } else {
                Add(x, y, s);
            }
        }
    }
}

// ---- Shapes ---------------------------------------------------------------------------------

void Disc(Canvas& c, float cx, float cy, float r, Rgba col) {
    c.Shade(int(cx - r - 2), int(cy - r - 2), int(cx + r + 3), int(cy + r + 3), [&](float x, float y) {
        float d = std::hypot(x - cx, y - cy) - r;
        return WithAlpha(col, col.a * Cover(d));
    });
}

void Ring(Canvas& c, float cx, float cy, float r, float width, Rgba col) {
    float ro = r + width / 2;
    c.Shade(int(cx - ro - 2), int(cy - ro - 2), int(cx + ro + 3), int(cy + ro + 3), [&](float x, float y) {
        float d = std::fabs(std::hypot(x - cx, y - cy) - r) - width / 2;
        return WithAlpha(col, col.a * Cover(d));
    });
}

void Ellipse(Canvas& c, float cx, float cy, float rx, float ry, float angleDeg, Rgba col) {
    float a = angleDeg * kPi / 180.0f;
    float ca = std::cos(a), sa = std::sin(a);
    float m = std::max(rx, ry);
    c.Shade(int(cx - m - 2), int(cy - m - 2), int(cx + m + 3), int(cy + m + 3), [&](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
        float k = std::hypot(u / rx, v / ry);
        // Distance estimate: the normalised radius scaled by the local radius.
        float d = (k - 1.0f) * std::min(rx, ry);
        return WithAlpha(col, col.a * Cover(d));
    });
}

void Capsule(Canvas& c, float x0, float y0, float x1, float y1, float r0, float r1, Rgba col,
             int mode) {
    float m = std::max(r0, r1) + 2;
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    c.Shade(int(std::min(x0, x1) - m), int(std::min(y0, y1) - m), int(std::max(x0, x1) + m + 1),
            int(std::max(y0, y1) + m + 1), [&](float x, float y) {
                float t = Clamp01(((x - x0) * dx + (y - y0) * dy) / len2);
                float d = std::hypot(x - (x0 + dx * t), y - (y0 + dy * t)) - (r0 + (r1 - r0) * t);
                return WithAlpha(col, col.a * Cover(d));
            }, mode);
}

void Polygon(Canvas& c, const std::vector<float>& xy, Rgba col, int mode) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    float minx = xy[0], maxx = xy[0], miny = xy[1], maxy = xy[1];
    for (size_t i = 0; i < n; ++i) {
        minx = std::min(minx, xy[2 * i]);
        maxx = std::max(maxx, xy[2 * i]);
        miny = std::min(miny, xy[2 * i + 1]);
        maxy = std::max(maxy, xy[2 * i + 1]);
    }
    auto inside = [&](float px, float py) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
    c.Shade(int(minx) - 1, int(miny) - 1, int(maxx) + 2, int(maxy) + 2, [&](float x, float y) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
            for (int sx = 0; sx < 4; ++sx) {
                if (inside(x - 0.5f + (sx + 0.5f) / 4, y - 0.5f + (sy + 0.5f) / 4)) ++hits;
            }
        }
        return WithAlpha(col, col.a * hits / 16.0f);
    }, mode);
}

void Glow(Canvas& c, float cx, float cy, float r, Rgba col, float power, int mode) {
    c.Shade(int(cx - r - 1), int(cy - r - 1), int(cx + r + 2), int(cy + r + 2), [&](float x, float y) {
        float t = 1.0f - std::hypot(x - cx, y - cy) / r;
        if (t <= 0) return Rgba{0, 0, 0, 0};
        return WithAlpha(col, col.a * std::pow(t, power));
    }, mode);
}

void Curve(Canvas& c, const float p[8], float r0, float r1, Rgba col0, Rgba col1, int mode) {
    // Sampled densely; each sample is a small disc kept at the strongest coverage per texel so
    // overlapping samples do not pile up.
    float minx = 1e9f, maxx = -1e9f, miny = 1e9f, maxy = -1e9f;
    const int kSteps = 96;
    float sx[kSteps + 1], sy[kSteps + 1];
    for (int i = 0; i <= kSteps; ++i) {
        float t = float(i) / kSteps, u = 1 - t;
        sx[i] = u * u * u * p[0] + 3 * u * u * t * p[2] + 3 * u * t * t * p[4] + t * t * t * p[6];
        sy[i] = u * u * u * p[1] + 3 * u * u * t * p[3] + 3 * u * t * t * p[5] + t * t * t * p[7];
        minx = std::min(minx, sx[i]);
        maxx = std::max(maxx, sx[i]);
        miny = std::min(miny, sy[i]);
        maxy = std::max(maxy, sy[i]);
    }
    float m = std::max(r0, r1) + 2;
    c.Shade(int(minx - m), int(miny - m), int(maxx + m + 1), int(maxy + m + 1), [&](float x, float y) {
        float best = 0;
        float bestT = 0;
        for (int i = 0; i < kSteps; ++i) {
            float dx = sx[i + 1] - sx[i], dy = sy[i + 1] - sy[i];
            float l2 = std::max(dx * dx + dy * dy, 1e-6f);
            float s = Clamp01(((x - sx[i]) * dx + (y - sy[i]) * dy) / l2);
            float t = (i + s) / kSteps;
            float r = r0 + (r1 - r0) * t;
            float d = std::hypot(x - (sx[i] + dx * s), y - (sy[i] + dy * s)) - r;
            float cov = Cover(d);
            if (cov > best) {
                best = cov;
                bestT = t;
            }
        }
        Rgba col = Mix(col0, col1, bestT);
        return WithAlpha(col, col.a * best);
    }, mode);
}

std::vector<float> StarPoints(float cx, float cy, float ro, float ri, int n, float angleDeg) {
    std::vector<float> pts;
    for (int i = 0; i < 2 * n; ++i) {
        float a = (angleDeg + 180.0f * i / n) * kPi / 180.0f;
        float r = (i % 2 == 0) ? ro : ri;
        pts.push_back(cx + r * std::sin(a));
        pts.push_back(cy - r * std::cos(a));
    }
    return pts;
}

// ---- Noise ----------------------------------------------------------------------------------

uint32_t Hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float Hash01(int x, int y, int seed) {
    uint32_t h = Hash32(uint32_t(x) * 0x9E3779B1U ^ Hash32(uint32_t(y) * 0x85EBCA77U ^ uint32_t(seed)));
    return (h & 0xFFFFFF) / float(0x1000000);
}

float Noise(float x, float y, int period, int seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto h = [&](int i, int j) {
        if (period > 0) {
            i = ((i % period) + period) % period;
            j = ((j % period) + period) % period;
        }
        return Hash01(i, j, seed);
    };
    float a = h(ix, iy), b = h(ix + 1, iy), c = h(ix, iy + 1), d = h(ix + 1, iy + 1);
    return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
}

float Fbm(float x, float y, int period, int octaves, int seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, period, seed + o * 101);
        norm += amp;
        amp *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

void Cells(float x, float y, int period, int seed, float& d1, float& d2, int& id) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    d1 = d2 = 1e9f;
    id = 0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            int wx = period > 0 ? ((cx % period) + period) % period : cx;
            int wy = period > 0 ? ((cy % period) + period) % period : cy;
            float fx = cx + 0.1f + 0.8f * Hash01(wx, wy, seed);
            float fy = cy + 0.1f + 0.8f * Hash01(wx, wy, seed + 7);
            float d = std::hypot(x - fx, y - fy);
            if (d < d1) {
                d2 = d1;
                d1 = d;
                id = wy * 1000 + wx;
            } else if (d < d2) {
                d2 = d;
            }
        }
    }
}
