// art.h -- the painter's toolbox shared by the art_*.cpp files: a floating-point RGBA canvas,
// anti-aliased shapes, glows, tiling noise, text set with FreeType, PNG/JPEG encoding, and the
// table of every region the game draws (for the contact sheet and the tests).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bake.h"

// ---- Colour -------------------------------------------------------------------------------

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;  // straight (not premultiplied), 0..1
};

Rgba RgbHex(uint32_t rgb, float alpha = 1.0f);
Rgba Mix(Rgba a, Rgba b, float t);
Rgba WithAlpha(Rgba c, float alpha);
Rgba Scale(Rgba c, float k);  // colour × k, alpha kept
// Pure hue at full saturation (hue in degrees, any range) with value v.
Rgba Hue(float degrees, float v = 1.0f);
// The hue the game gives a bullet column starting at texel x: 43.2 − 1.40625·x degrees.
float ColumnHue(int x);

// The world's palette: a moody night-blue and violet world that the bright bullets stand out of.
namespace pal {
extern const Rgba kNight;     // near-black blue
extern const Rgba kDeep;      // deep indigo
extern const Rgba kViolet;    // dusky violet
extern const Rgba kMist;      // pale blue-lavender highlight
extern const Rgba kSilver;    // cold silver
extern const Rgba kGold;      // warm gold accent
extern const Rgba kCyan;      // mirror-glass cyan accent
extern const Rgba kInk;       // text outline
extern const Rgba kWhite;
}  // namespace pal

// ---- Canvas ---------------------------------------------------------------------------------

class Canvas {
public:
    Canvas(int width, int height);
    int Width() const { return w_; }
    int Height() const { return h_; }

    // Composites a colour over the texel with the given coverage (alpha blending).
    void Over(int x, int y, Rgba c, float coverage = 1.0f);
    // Adds colour × alpha × coverage and grows alpha (for light painted on transparent).
    void Add(int x, int y, Rgba c, float coverage = 1.0f);
    // Replaces the texel.
    void Set(int x, int y, Rgba c);
    Rgba Get(int x, int y) const;  // straight colour; transparent outside the canvas

    void Fill(Rgba c);
    void FillRect(int x, int y, int w, int h, Rgba c);
    // Paints with a shader over the texel box [x0,x1)×[y0,y1): the shader sees texel centres and
    // returns a colour whose alpha is its coverage. mode 0 composites over, 1 adds.
    void Shade(int x0, int y0, int x1, int y1, const std::function<Rgba(float, float)>& shader,
               int mode = 0);

    const std::vector<float>& Data() const { return px_; }  // premultiplied RGBA rows

private:
    int w_, h_;
    std::vector<float> px_;
};

// ---- Shapes (all anti-aliased; sizes in texels, centres at texel-centre coordinates + 0.5) ----

void Disc(Canvas& c, float cx, float cy, float r, Rgba col);
void Ring(Canvas& c, float cx, float cy, float r, float width, Rgba col);
void Ellipse(Canvas& c, float cx, float cy, float rx, float ry, float angleDeg, Rgba col);
// A stroke from (x0,y0) to (x1,y1) whose radius tapers from r0 to r1, round ends.
void Capsule(Canvas& c, float x0, float y0, float x1, float y1, float r0, float r1, Rgba col,
             int mode = 0);
// A filled polygon (any winding, even-odd), 4×4 supersampled.
void Polygon(Canvas& c, const std::vector<float>& xy, Rgba col, int mode = 0);
// A soft radial glow: alpha falls from col.a at the centre to 0 at radius r (power shapes it).
void Glow(Canvas& c, float cx, float cy, float r, Rgba col, float power = 2.0f, int mode = 0);
// A cubic Bézier stroke with tapering radius and alpha along its length.
void Curve(Canvas& c, const float p[8], float r0, float r1, Rgba col0, Rgba col1, int mode = 0);
// A regular star with n points, outer radius ro, inner ri, first point at angle (0 = up).
std::vector<float> StarPoints(float cx, float cy, float ro, float ri, int n, float angleDeg);

// ---- Noise (deterministic, integer hashed) ---------------------------------------------------

uint32_t Hash32(uint32_t x);
float Hash01(int x, int y, int seed);
// Value noise with smooth interpolation, tiling with the given integer period (in cells).
float Noise(float x, float y, int period, int seed);
// Several octaves, each tiling (period doubles with the frequency).
float Fbm(float x, float y, int period, int octaves, int seed);
// Cellular (Voronoi) distance: nearest and second nearest feature distance, tiling.
void Cells(float x, float y, int period, int seed, float& d1, float& d2, int& id);

// ---- Text -----------------------------------------------------------------------------------

extern const char* const kSans;
extern const char* const kSansBold;
extern const char* const kSerifBold;
extern const char* const kSerifBoldItalic;
extern const char* const kSansCondBold;
extern const char* const kMonoBold;

struct TextStyle {
    const char* font = kSansBold;
    float size = 32.0f;                    // em size in texels
    Rgba top = {1, 1, 1, 1};               // fill at the top of the ink
    Rgba bottom = {1, 1, 1, 1};            // fill at the bottom of the ink
    Rgba outline = {0.03f, 0.03f, 0.10f, 1.0f};
    float outlineWidth = 2.0f;             // 0: none
    Rgba glow = {0, 0, 0, 0};              // soft halo behind the outline (alpha 0: none)
    float glowRadius = 0.0f;
    float shadowDx = 0.0f, shadowDy = 0.0f;  // drop shadow offset (0,0: none)
    float tracking = 0.0f;                 // extra advance per character
    float stretchX = 1.0f;                 // horizontal scale of the letters (narrow digits)
};

// The labels' common look: white letters shading to `bottom`, with a dark ink outline.
TextStyle InkedText(const char* font, float size, Rgba bottom, float outlineWidth);

struct InkBox {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // ink bounds on the canvas, outline excluded
};

enum { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
enum { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2, kAlignBaseline = 3 };

// Sets text so that its ink (without outline) lies in the box (bx, by, bw, bh), aligned as
// asked; the size shrinks when the ink plus outline would not fit. With kAlignBaseline the
// baseline sits at by + bh. Returns the ink box.
InkBox DrawText(Canvas& c, const std::string& utf8, TextStyle style, float bx, float by, float bw,
                float bh, int halign, int valign);
// Ink width and height of a text at a style's size.
void MeasureText(const std::string& utf8, const TextStyle& style, float& width, float& height);

// ---- Files ----------------------------------------------------------------------------------

std::vector<unsigned char> EncodePng(const Canvas& c);
std::vector<unsigned char> EncodeJpeg(const Canvas& c, int quality);  // opaque, over black
void AddFile(std::vector<BakedFile>& out, const std::string& name, std::vector<unsigned char> bytes);
void AddPng(std::vector<BakedFile>& out, const std::string& name, const Canvas& c);

// ---- What the game draws --------------------------------------------------------------------

struct ArtRegion {
    const char* file;  // "Graphics/bullet1.png"
    int x, y, w, h;
    const char* label;
};
// Every region the game cuts out and draws, by file.
const std::vector<ArtRegion>& DrawnRegions();
// Every file under Graphics/, SE/ and Music/ that the game reads.
const std::vector<std::string>& CatalogueFiles();

// ---- The painters, one per theme ------------------------------------------------------------

void PaintBullets(std::vector<BakedFile>& out);
void PaintEffects(std::vector<BakedFile>& out);
void PaintCharacters(std::vector<BakedFile>& out);
void PaintBackgrounds(std::vector<BakedFile>& out);
void PaintHud(std::vector<BakedFile>& out);
void PaintLabels(std::vector<BakedFile>& out);
void PaintTitle(std::vector<BakedFile>& out);
void PaintMenus(std::vector<BakedFile>& out);

// Shared figures: the player seen from behind, drawn about (cx, cy) at the given scale, leaning
// (−1 left .. 1 right) with an animation phase in turns.
void DrawPlayerFigure(Canvas& c, float cx, float cy, float scale, float lean, float phase);
// The mirror-shard crest used by the bomb emblem and the start-up logo.
void DrawShardCrest(Canvas& c, float cx, float cy, float radius, float brightness);
