// art_files.cpp -- PNG and JPEG encoding, the table of drawn regions and the file catalogue,
// and BakePictures, which runs every painter.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <zlib.h>

#include "art.h"

namespace {

void Put32(std::vector<unsigned char>& v, uint32_t x) {
    v.push_back(x >> 24);
    v.push_back((x >> 16) & 255);
    v.push_back((x >> 8) & 255);
    v.push_back(x & 255);
}

void Chunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& data) {
    Put32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    uLong crc = crc32(0, png.data() + start, uInt(png.size() - start));
    Put32(png, uint32_t(crc));
}

// 8-bit straight RGBA. Transparent texels take the colour of their visible neighbours, so
// bilinear filtering at the edge of a shape never pulls in black.
std::vector<unsigned char> ToRgba8(const Canvas& c) {
    int w = c.Width(), h = c.Height();
    std::vector<unsigned char> out(size_t(w) * h * 4, 0);
    std::vector<float> col(size_t(w) * h * 3, 0.0f);
    std::vector<unsigned char> known(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba p = c.Get(x, y);
            size_t i = size_t(y) * w + x;
            int a8 = int(std::lround(std::clamp(p.a, 0.0f, 1.0f) * 255));
            out[i * 4 + 3] = static_cast<unsigned char>(a8);
            if (a8 > 0) {
                col[i * 3] = p.r;
                col[i * 3 + 1] = p.g;
                col[i * 3 + 2] = p.b;
                known[i] = 1;
            }
        }
    }
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<unsigned char> next = known;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                size_t i = size_t(y) * w + x;
                if (known[i]) continue;
                float s[3] = {0, 0, 0};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        int xx = x + dx, yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                        size_t j = size_t(yy) * w + xx;
                        if (!known[j]) continue;
                        for (int k = 0; k < 3; ++k) s[k] += col[j * 3 + k];
                        ++n;
                    }
                }
                if (n == 0) continue;
                for (int k = 0; k < 3; ++k) col[i * 3 + k] = s[k] / n;
                next[i] = 1;
            }
        }
        known.swap(next);
    }
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        for (int k = 0; k < 3; ++k) {
            out[i * 4 + k] = static_cast<unsigned char>(std::lround(std::clamp(col[i * 3 + k], 0.0f, 1.0f) * 255));
        }
    }
    return out;
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

}  // namespace

std::vector<unsigned char> EncodePng(const Canvas& c) {
    int w = c.Width(), h = c.Height();
    std::vector<unsigned char> rgba = ToRgba8(c);
    size_t stride = size_t(w) * 4;
    std::vector<unsigned char> raw;
    raw.reserve((stride + 1) * h);
    std::vector<unsigned char> best(stride), trial(stride);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = &rgba[y * stride];
        const unsigned char* up = y > 0 ? &rgba[(y - 1) * stride] : nullptr;
        long bestScore = -1;
        int bestType = 0;
        for (int type = 0; type < 5; ++type) {
            long score = 0;
            for (size_t i = 0; i < stride; ++i) {
                int a = i >= 4 ? row[i - 4] : 0;
                int b = up ? up[i] : 0;
                int cc = (up && i >= 4) ? up[i - 4] : 0;
                int pred = 0;
                if (type == 1) pred = a;
                if (type == 2) pred = b;
                if (type == 3) pred = (a + b) / 2;
                if (type == 4) pred = Paeth(a, b, cc);
                unsigned char v = static_cast<unsigned char>(row[i] - pred);
                trial[i] = v;
                score += v < 128 ? v : 256 - v;
            }
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                bestType = type;
                best = trial;
            }
        }
        raw.push_back(static_cast<unsigned char>(bestType));
        raw.insert(raw.end(), best.begin(), best.end());
    }
    uLongf zsize = compressBound(uLong(raw.size()));
    std::vector<unsigned char> z(zsize);
    compress2(z.data(), &zsize, raw.data(), uLong(raw.size()), 6);
    z.resize(zsize);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<unsigned char> ihdr;
    Put32(ihdr, uint32_t(w));
    Put32(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

std::vector<unsigned char> EncodeJpeg(const Canvas& c, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = JDIMENSION(c.Width());
    cinfo.image_height = JDIMENSION(c.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(c.Width()) * 3);
    const std::vector<float>& d = c.Data();
    while (cinfo.next_scanline < cinfo.image_height) {
        size_t y = cinfo.next_scanline;
        for (int x = 0; x < c.Width(); ++x) {
            const float* p = &d[(y * c.Width() + x) * 4];  // premultiplied: over black as is
            for (int k = 0; k < 3; ++k) {
                row[x * 3 + k] = static_cast<unsigned char>(std::lround(std::clamp(p[k], 0.0f, 1.0f) * 255));
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<unsigned char> out(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return out;
}

void AddFile(std::vector<BakedFile>& out, const std::string& name, std::vector<unsigned char> bytes) {
    out.push_back({name, std::move(bytes)});
}

void AddPng(std::vector<BakedFile>& out, const std::string& name, const Canvas& c) {
    AddFile(out, name, EncodePng(c));
}

void BakePictures(std::vector<BakedFile>& out) {
    PaintBullets(out);
    PaintEffects(out);
    PaintCharacters(out);
    PaintBackgrounds(out);
    PaintHud(out);
    PaintLabels(out);
    PaintTitle(out);
    PaintMenus(out);
}

const std::vector<std::string>& CatalogueFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> f;
        const char* graphics[] = {
            "bullet1.png", "bullet2.png", "bullet3.png", "bullet4.png", "bullet5.png",
            "bullet6.png", "bullet7.png", "color.png", "enemy1.png", "font1.png", "font2.png",
            "item.png", "font5.png", "font6.png", "font7.png", "font8.png", "stg7bg.png",
            "stg7bg2.png", "stg7bg3.png", "pl00.png", "weapon.png", "lim.png", "shadow.png",
            "slowmode.png", "word.png", "boss.png", "item09b.png", "item09.png", "etbreak.png",
            "item_num.png", "window.png", "particles.png", "eff04.png", "eff04b.png",
            "eff_line.png", "total.png", "loading.png", "scname.png", "player.png", "logo.jpg",
            "eff_switchbg.png", "title_bk00.jpg", "title_bk4.png", "title_logo.png",
            "title01.png", "chose3.png", "menuchose.png", "font0.fnt", "font0.png"};
        for (const char* g : graphics) f.push_back(std::string("Graphics/") + g);
        const char* sounds[] = {
            "se_tan00.wav", "se_tan01.wav", "se_tan02.wav", "se_kira00.wav", "se_kira01.wav",
            "se_kira02.wav", "se_enep00.wav", "se_enep01.wav", "se_enep02.wav",
            "se_damage00.wav", "se_item00.wav", "se_item01.wav", "se_graze.wav",
            "se_pldead00.wav", "se_border.wav", "se_gun00.wav", "se_ch00.wav", "se_timeout.wav",
            "se_cat00.wav", "se_ex.ogg", "se_green.mp3", "se_lazer00.wav", "se_lazer01.wav",
            "se_lazer02.wav", "se_power0.wav", "se_power1.wav", "se_nep00.wav", "se_extend.wav",
            "se_powerup.wav", "se_slash.wav", "se_boon00.wav", "se_don00.wav", "se_invalid.wav",
            "se_ok00.wav", "se_select00.wav", "se_cancel00.wav", "se_pause.wav"};
        for (const char* s : sounds) f.push_back(std::string("SE/") + s);
        f.push_back("Music/title.mp3");
        f.push_back("Music/music1.mp3");
        return f;
    }();
    return files;
}

const std::vector<ArtRegion>& DrawnRegions() {
    static const std::vector<ArtRegion> regions = [] {
        std::vector<ArtRegion> r;
        auto add = [&](const char* file, int x, int y, int w, int h, const char* label) {
            r.push_back({file, x, y, w, h, label});
        };
        const char* b1 = "Graphics/bullet1.png";
        add(b1, 32, 48, 16, 16, "A32");
        add(b1, 208, 48, 16, 16, "A208");
        static const char* kB[] = {"B16", "B32", "B48", "B64", "B80", "B96", "B112",
                                   "B128", "B144", "B160", "B176", "B192", "B208", "B224"};
        for (int i = 0; i < 14; ++i) add(b1, 16 + 16 * i, 112, 16, 16, kB[i]);
        add(b1, 16, 240, 8, 8, "C16");
        static const char* kG[] = {"g32", "g64", "g96", "g128", "g160", "g192", "g224"};
        for (int i = 0; i < 7; ++i) add(b1, 32 + 32 * i, 209, 32, 30, kG[i]);
        add(b1, 65, 192, 4, 1, "ring");
        add("Graphics/bullet2.png", 192, 0, 16, 16, "graze");
        add("Graphics/bullet2.png", 192, 224, 32, 32, "mote");
        const char* b3 = "Graphics/bullet3.png";
        static const char* kBall[] = {"ball32", "ball64", "ball96", "ball128", "ball160", "ball192"};
        for (int i = 0; i < 6; ++i) add(b3, 32 + 32 * i, 32, 32, 32, kBall[i]);
        add(b3, 32, 128, 32, 32, "star");
        add(b3, 64, 192, 64, 64, "orb");
        add(b3, 256, 1, 128, 128, "aura");
        add("Graphics/color.png", 120, 104, 8, 8, "black");
        add("Graphics/color.png", 123, 105, 6, 6, "ime");
        add("Graphics/color.png", 65, 97, 6, 6, "white");
        add("Graphics/color.png", 73, 97, 6, 6, "mark");
        const char* f1 = "Graphics/font1.png";
        static const char* kDigit[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (int d = 0; d < 10; ++d) add(f1, 16 * d, 208, 14, 24, kDigit[d]);
        add(f1, 160, 208, 14, 24, "/");
        add(f1, 176, 208, 14, 24, ".");
        add(f1, 28, 28, 14, 14, "F");
        add(f1, 168, 28, 14, 14, "P");
        add(f1, 210, 28, 14, 14, "S");
        add(f1, 190, 190, 32, 12, "LIFE");
        add(f1, 0, 88, 256, 40, "banner");
        add(f1, 216, 240, 40, 16, "BOSS");
        add("Graphics/font2.png", 420, 422, 32, 32, "cursor");
        const char* it = "Graphics/item.png";
        add(it, 0, 0, 224, 44, "BOMB");
        add(it, 0, 60, 100, 38, "LIVES");
        add(it, 170, 54, 54, 74, "emblem");
        add(it, 0, 100, 40, 20, "LEFT");
        add("Graphics/stg7bg.png", 0, 0, 384, 384, "panel");
        add("Graphics/stg7bg2.png", 0, 0, 384, 384, "wall");
        add("Graphics/stg7bg3.png", 0, 0, 24, 512, "pillar");
        static const char* kPl[] = {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7", "L0", "L1", "L2",
                                    "L3", "LL0", "LL1", "LL2", "LL3", "R0", "R1", "R2", "R3",
                                    "RR0", "RR1", "RR2", "RR3"};
        for (int k = 0; k < 24; ++k) add("Graphics/pl00.png", 32 * (k % 8), 48 * (k / 8), 32, 48, kPl[k]);
        add("Graphics/weapon.png", 0, 0, 172, 183, "emblem");
        add("Graphics/lim.png", 0, 0, 138, 75, "infinity");
        add("Graphics/slowmode.png", 0, 0, 64, 64, "focus");
        add("Graphics/word.png", 0, 0, 262, 66, "SCORE");
        static const char* kBoss[] = {"idle0", "idle1", "idle2", "idle3", "lean0", "lean1",
                                      "lean2", "lean3", "cast0", "cast1", "cast2", "cast3"};
        for (int k = 0; k < 12; ++k) add("Graphics/boss.png", 64 * (k % 4), 80 * (k / 4), 64, 80, kBoss[k]);
        const char* i9b = "Graphics/item09b.png";
        add(i9b, 0, 12, 32, 36, "coin");
        add(i9b, 0, 48, 54, 48, "swing1");
        add(i9b, 52, 0, 44, 60, "swing2");
        add(i9b, 96, 0, 48, 76, "swing3");
        add(i9b, 144, 0, 56, 64, "swing4");
        add("Graphics/item09.png", 0, 0, 229, 229, "blast");
        static const char* kFrame[] = {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7"};
        for (int k = 0; k < 8; ++k) add("Graphics/etbreak.png", 64 * (k % 4), 64 * (k / 4), 64, 64, kFrame[k]);
        for (int n = 0; n < 6; ++n) add("Graphics/item_num.png", 64 * (n % 4), 64 * (n / 4), 64, 64, kDigit[n]);
        add("Graphics/window.png", 0, 0, 640, 480, "frame");
        add("Graphics/particles.png", 0, 0, 32, 32, "particle");
        add("Graphics/particles.png", 96, 64, 32, 32, "core");
        add("Graphics/eff04.png", 0, 0, 256, 256, "veil");
        add("Graphics/eff04b.png", 0, 0, 256, 256, "circle");
        add("Graphics/eff_line.png", 96, 0, 20, 128, "streak");
        const char* tot = "Graphics/total.png";
        add(tot, 470, 150, 450, 70, "COINS");
        add(tot, 470, 270, 450, 70, "TOTAL");
        add(tot, 470, 390, 450, 70, "RANK");
        add(tot, 590, 500, 90, 80, "pts");
        add("Graphics/loading.png", 0, 0, 256, 64, "NOW LOADING");
        add("Graphics/loading.png", 0, 64, 256, 64, "please wait");
        add("Graphics/scname.png", 0, 0, 100, 25, "card1");
        add("Graphics/scname.png", 0, 38, 220, 25, "card2");
        add("Graphics/scname.png", 0, 76, 120, 25, "card3");
        add("Graphics/logo.jpg", 0, 0, 640, 480, "logo");
        add("Graphics/eff_switchbg.png", 0, 0, 256, 256, "shutter");
        add("Graphics/title_bk00.jpg", 0, 0, 640, 480, "title");
        add("Graphics/title_bk4.png", 0, 0, 128, 128, "tile");
        add("Graphics/title_logo.png", 0, 0, 550, 210, "logo");
        const char* t1 = "Graphics/title01.png";
        static const int kItemY[] = {0, 32, 96, 160, 64};
        static const int kItemW[] = {164, 100, 94, 62, 132};
        static const char* kSel[] = {"START*", "REPLAY*", "OPTIONS*", "QUIT*", "PRACTICE*"};
        static const char* kUnsel[] = {"START", "REPLAY", "OPTIONS", "QUIT", "PRACTICE"};
        for (int i = 0; i < 5; ++i) {
            add(t1, 0, kItemY[i], kItemW[i], 32, kSel[i]);
            add(t1, 193, kItemY[i], kItemW[i], 32, kUnsel[i]);
        }
        add(t1, 445, 445, 67, 67, "highlight");
        const char* ch = "Graphics/chose3.png";
        add(ch, 0, 0, 320, 36, "KEY CONFIG");
        add(ch, 0, 36, 320, 36, "MUSIC");
        add(ch, 0, 72, 320, 36, "SOUND");
        add(ch, 0, 108, 320, 36, "AUTO BOMB");
        add(ch, 0, 180, 320, 36, "RETURN");
        add(ch, 0, 792, 145, 36, "SCREEN");
        add(ch, 140, 792, 180, 36, "WINDOW");
        add(ch, 0, 828, 320, 36, "FULL");
        for (int d = 0; d < 10; ++d) add(ch, 70 + 36 * (d % 5), 216 + 36 * (d / 5), 36, 36, kDigit[d]);
        static const char* kLetter[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                        "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
        for (int k = 0; k < 26; ++k) add(ch, 70 + 36 * (k % 5), 288 + 36 * (k / 5), 36, 36, kLetter[k]);
        add(ch, 106, 468, 36, 36, "%");
        add(ch, 70, 576, 36, 36, "cap");
        static const char* kAction[] = {"UP", "DOWN", "LEFT", "RIGHT", "SLOW", "BOMB/OK", "CANCEL", "SKIP"};
        for (int i = 0; i < 8; ++i) add(ch, 0, 504 + 36 * i, 320, 36, kAction[i]);
        const char* mc = "Graphics/menuchose.png";
        add(mc, 0, 0, 48, 208, "ribbon");
        add(mc, 48, 0, 65, 32, "PAUSE");
        add(mc, 183, 0, 65, 32, "ENDED");
        static const char* kPause[] = {"RESUME", "TITLE", "SAVE", "OPTIONS", "MANUAL", "RETRY"};
        for (int i = 0; i < 6; ++i) add(mc, 48, 32 + 32 * i, 208, 32, kPause[i]);
        return r;
    }();
    return regions;
}
