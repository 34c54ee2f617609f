// bitmap_font.cpp -- BitmapFont: the description file reader and text layout.
#include "gfx/bitmap_font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/det_math.h"

char BitmapFont::buffer[BitmapFont::kBufferSize];

namespace {

// The reader's limits: one line of the description file, and a file path.
constexpr size_t kMaxLine = 255;
constexpr size_t kMaxPath = 259;

// Nearest whole number, halves to the even neighbour (the default rounding mode).
float RoundEven(float v) { return detmath::RoundEven(v); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

BitmapFont::BitmapFont(const char* path, bool mipmap) {
    engine = hgeCreate(HGE_VERSION);
    if (path != nullptr) Load(path, mipmap);
}

BitmapFont::~BitmapFont() {
    for (Sprite*& glyph : glyphs) {
        delete glyph;
        glyph = nullptr;
    }
    if (texture != 0) engine->Texture_Free(texture);
    for (HTEXTURE earlier : earlierTextures) {
        if (earlier != 0) engine->Texture_Free(earlier);
    }
    engine->Release();
}

void BitmapFont::Load(const char* path, bool mipmap) {
    size_t pathLength = std::strlen(path);
    if (pathLength > kMaxPath) {
        engine->System_Log("Font path is longer than %zu characters: %.40s...", kMaxPath, path);
        return;
    }
    uint32_t size = 0;
    void* data = engine->Resource_Load(path, &size);
    if (data == nullptr) return;
    // Our own NUL-terminated copy: a NUL inside the file ends the text there.
    std::string text(static_cast<const char*>(data), size);
    engine->Resource_Free(data);
    text.resize(std::strlen(text.c_str()));

    // The folder the texture name is relative to: up to the last backslash, else the last slash.
    std::string folder;
    size_t slash = std::string(path).find_last_of('\\');
    if (slash == std::string::npos) slash = std::string(path).find_last_of('/');
    if (slash != std::string::npos) folder.assign(path, slash + 1);

    const char* p = text.c_str();
    bool first = true;
    char line[kMaxLine + 1];
    while (*p != '\0') {
        size_t length = std::strcspn(p, "\r\n");
        const char* next = p + length;
        next += std::strspn(next, "\r\n");  // empty lines do not exist for the reader
        bool tooLong = length > kMaxLine;
        if (!tooLong) {
            std::memcpy(line, p, length);
            line[length] = '\0';
        }
        p = next;

        if (first) {
            first = false;
            if (tooLong || std::strcmp(line, "[HGEFONT]") != 0) {
                engine->System_Log("Font %s has incorrect format.", path);
                return;
            }
            continue;
        }
        if (tooLong) {
            engine->System_Log("Font %s: a line longer than %zu characters is ignored", path,
                               kMaxLine);
            continue;
        }
        if (std::strncmp(line, "Bitmap", 6) == 0) {
            char name[kMaxLine + 1];
            if (std::sscanf(line, "Bitmap = %255s", name) != 1) continue;
            std::string texturePath = folder + name;
            if (texturePath.size() > kMaxPath) {
                engine->System_Log("Font %s: texture path is longer than %zu characters", path,
                                   kMaxPath);
                return;
            }
            if (texture != 0) {
                // A second Bitmap line: glyphs made so far keep the earlier texture.
                int slot = 0;
                while (slot < 4 && earlierTextures[slot] != 0) ++slot;
                if (slot == 4) {
                    engine->System_Log("Font %s: too many Bitmap lines, %s ignored", path, name);
                    continue;
                }
                earlierTextures[slot] = texture;
                texture = 0;
            }
            texture = engine->Texture_Load(texturePath.c_str(), 0, mipmap);
            if (texture == 0) return;
        } else if (std::strncmp(line, "Char", 4) == 0) {
            ReadCharLine(line);
        }
    }
    // An empty file (or one that starts with a NUL) has no "[HGEFONT]" line either.
    if (first) engine->System_Log("Font %s has incorrect format.", path);
}

void BitmapFont::ReadCharLine(const char* line) {
    const char* p = std::strchr(line, '=');
    if (p == nullptr) return;
    ++p;
    while (*p == ' ' || *p == '\t') ++p;
    int code = 0;
    if (*p == '"') {
        if (p[1] == '\0') return;
        code = static_cast<unsigned char>(p[1]);
        p += 2;
        if (*p != '\0') ++p;  // the closing quote, whatever it holds
    } else {
        for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
            code = code * 16 + digit;
            if (code > 255) return;
        }
    }
    // A line with fewer numbers fills only those it has; the rest are 0.
    int x = 0, y = 0, w = 0, h = 0, in = 0, out = 0;
    std::sscanf(p, " , %d , %d , %d , %d , %d , %d", &x, &y, &w, &h, &in, &out);

    delete glyphs[code];
    glyphs[code] = new Sprite(texture, float(x), float(y), float(w), float(h));
    glyphs[code]->SetTint(colour);
    glyphs[code]->SetDepth(depth);
    glyphs[code]->SetBlend(blend);
    leadIn[code] = float(in);
    leadOut[code] = float(out);
    if (float(h) > glyphHeight) glyphHeight = float(h);
}

int BitmapFont::Resolve(unsigned char c) const {
    if (glyphs[c] != nullptr) return c;
    if (glyphs[static_cast<unsigned char>('?')] != nullptr) return '?';
    return -1;
}

float BitmapFont::Advance(int code) const {
    return glyphs[code]->Width() + leadIn[code] + leadOut[code] + tracking;
}

float BitmapFont::TextWidth(const char* text, bool multiline) const {
    float widest = 0;
    if (text == nullptr) return 0;
    const char* p = text;
    while (*p != '\0') {
        float sum = 0;
        for (; *p != '\0' && *p != '\n'; ++p) {
            int code = Resolve(static_cast<unsigned char>(*p));
            if (code >= 0) sum += Advance(code);
        }
        if (!multiline) return sum * scale * proportion;
        if (sum > widest) widest = sum;
        while (*p == '\n' || *p == '\r') ++p;
    }
    return widest * scale * proportion;
}

float BitmapFont::LineStart(float x, int align, const char* text) const {
    switch (align & 3) {
        case ALIGN_RIGHT: return x - TextWidth(text, false);
        case ALIGN_CENTRE: return x - RoundEven(TextWidth(text, false) / 2);
        default: return x;
    }
}

void BitmapFont::Draw(float x, float y, int align, const char* text) {
    if (text == nullptr) return;
    float px = LineStart(x, align, text);
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') {
            y += RoundEven(glyphHeight * scale * lineSpacing);
            px = LineStart(x, align, p + 1);
            continue;
        }
        int code = Resolve(static_cast<unsigned char>(*p));
        if (code < 0) continue;
        px += leadIn[code] * scale * proportion;
        glyphs[code]->DrawTransformed(px, y, rotation, scale * proportion, scale);
        px += (glyphs[code]->Width() + leadOut[code] + tracking) * scale * proportion;
    }
}

void BitmapFont::DrawFormatted(float x, float y, int align, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);  // at most 1023 characters and a NUL
    va_end(args);
    Draw(x, y, align, buffer);
}

void BitmapFont::DrawWrapped(float x, float y, float w, float h, int align, const char* format,
                             ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);

    // Words end at a single space or a line feed; a word that would run past w starts a line.
    char* lineStart = buffer;
    char* word = buffer;
    bool firstOfLine = true;
    while (true) {
        char* end = word + std::strcspn(word, " \n");
        char ending = *end;
        *end = '\0';
        float width = TextWidth(lineStart, true);
        *end = ending;
        if (width > w) {
            if (firstOfLine) {
                // Alone on its line: the line breaks after it instead.
                if (ending == ' ') *end = '\n';
            } else {
                word[-1] = '\n';
                lineStart = word;
            }
        }
        if (*end == '\0') break;
        if (*end == '\n') {
            lineStart = end + 1;
            firstOfLine = true;
        } else {
            firstOfLine = false;
        }
        word = end + 1;
    }

    int lines = 1;
    for (const char* p = buffer; *p != '\0'; ++p) {
        if (*p == '\n') ++lines;
    }
    float textHeight = float(lines) * lineSpacing * scale * glyphHeight;

    float tx = x;
    if ((align & 3) == ALIGN_RIGHT) tx = x + w;
    else if ((align & 3) == ALIGN_CENTRE) tx = x + RoundEven(w / 2);
    float ty = y;
    if ((align & 12) == ALIGN_BOTTOM) ty = y + (h - textHeight);
    else if ((align & 12) == ALIGN_MIDDLE) ty = y + RoundEven((h - textHeight) / 2);
    Draw(tx, ty, align, buffer);
}

void BitmapFont::SetTint(uint32_t c) {
    colour = c;
    for (Sprite* glyph : glyphs) {
        if (glyph != nullptr) glyph->SetTint(c);
    }
}

void BitmapFont::SetDepth(float z) {
    depth = z;
    for (Sprite* glyph : glyphs) {
        if (glyph != nullptr) glyph->SetDepth(z);
    }
}

void BitmapFont::SetBlend(int mode) {
    blend = mode;
    for (Sprite* glyph : glyphs) {
        if (glyph != nullptr) glyph->SetBlend(mode);
    }
}
