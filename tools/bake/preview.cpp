// preview.cpp -- the contact sheet of every texture with its drawn regions outlined.
#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"
#include "platform/image.h"

namespace {

struct Tile {
    const BakedFile* file;
    Image image;
    float scale;
    int x, y, w, h;  // placement of the picture on the sheet
};

}  // namespace

bool WriteContactSheet(const std::vector<BakedFile>& files, const std::string& path) {
    const int kSheetW = 2200, kGap = 14, kCaption = 18;
    std::vector<Tile> tiles;
    for (const BakedFile& f : files) {
        if (f.name.rfind("Graphics/", 0) != 0 || f.name.size() < 4 ||
            f.name.compare(f.name.size() - 4, 4, ".fnt") == 0) {
            continue;
        }
        Tile t{&f, {}, 1.0f, 0, 0, 0, 0};
        if (!DecodeImage(f.bytes, t.image)) {
            std::fprintf(stderr, "mirrorfall-bake: %s does not decode\n", f.name.c_str());
            return false;
        }
        int m = std::max(t.image.width, t.image.height);
        t.scale = m <= 64 ? 4.0f : (m <= 256 ? 2.0f : (m <= 640 ? 1.0f : 0.5f));
        t.w = int(t.image.width * t.scale);
        t.h = int(t.image.height * t.scale);
        tiles.push_back(std::move(t));
    }
    // Shelf packing, tallest first so rows stay even.
    std::vector<Tile*> order;
    for (Tile& t : tiles) order.push_back(&t);
    std::stable_sort(order.begin(), order.end(), [](const Tile* a, const Tile* b) { return a->h > b->h; });
    int x = kGap, y = kGap, rowH = 0;
    for (Tile* t : order) {
        if (x + t->w + kGap > kSheetW && x > kGap) {
            x = kGap;
            y += rowH + kCaption + kGap;
            rowH = 0;
        }
        t->x = x;
        t->y = y + kCaption;
        x += std::max(t->w, 160) + kGap;
        rowH = std::max(rowH, t->h);
    }
    int sheetH = y + rowH + kCaption + kGap;
    Canvas sheet(kSheetW, sheetH);
    sheet.Fill(RgbHex(0x202024));
    TextStyle caption;
    caption.font = kSans;
    caption.size = 13;
    caption.outlineWidth = 0;
    caption.top = caption.bottom = RgbHex(0xE8E8E8);
    TextStyle label;
    label.font = kSansBold;
    label.size = 10;
    label.outlineWidth = 1.2f;
    label.top = label.bottom = RgbHex(0xFFFF60);
    for (const Tile& t : tiles) {
        DrawText(sheet, t.file->name.substr(9) + "  " + std::to_string(t.image.width) + "x" +
                 std::to_string(t.image.height), caption, float(t.x), float(t.y - kCaption), 600,
                 kCaption - 3, kAlignLeft, kAlignBaseline);
        for (int j = 0; j < t.h; ++j) {
            for (int i = 0; i < t.w; ++i) {
                // A dark checkerboard shows transparency.
                bool odd = ((i / 8) + (j / 8)) % 2 != 0;
                sheet.Set(t.x + i, t.y + j, odd ? RgbHex(0x3A3A44) : RgbHex(0x2C2C34));
                int sx = std::min(t.image.width - 1, int(i / t.scale));
                int sy = std::min(t.image.height - 1, int(j / t.scale));
                uint32_t p = t.image.pixels[size_t(sy) * t.image.width + sx];
                Rgba c{((p >> 16) & 255) / 255.0f, ((p >> 8) & 255) / 255.0f, (p & 255) / 255.0f,
                       (p >> 24) / 255.0f};
                sheet.Over(t.x + i, t.y + j, c);
            }
        }
        for (const ArtRegion& r : DrawnRegions()) {
            if (t.file->name != r.file) continue;
            int rx = t.x + int(r.x * t.scale), ry = t.y + int(r.y * t.scale);
            int rw = std::max(1, int(r.w * t.scale)), rh = std::max(1, int(r.h * t.scale));
            Rgba edge = RgbHex(0x30FF90, 0.85f);
            for (int i = 0; i < rw; ++i) {
                sheet.Over(rx + i, ry, edge);
                sheet.Over(rx + i, ry + rh - 1, edge);
            }
            for (int j = 0; j < rh; ++j) {
                sheet.Over(rx, ry + j, edge);
                sheet.Over(rx + rw - 1, ry + j, edge);
            }
            if (rw >= 22 && rh >= 12) {
                DrawText(sheet, r.label, label, float(rx + 1), float(ry + 1), float(rw - 2), 12,
                         kAlignLeft, kAlignTop);
            }
        }
    }
    std::vector<unsigned char> png = EncodePng(sheet);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(png.data(), 1, png.size(), out) != png.size()) {
        std::fprintf(stderr, "mirrorfall-bake: cannot write the contact sheet %s\n", path.c_str());
        if (out != nullptr) std::fclose(out);
        return false;
    }
    std::fclose(out);
    return true;
}
