// font_lookup.cpp -- the font for a family name, matched by fontconfig (Windows:
// font_lookup_win32.cpp).
#include "platform/font_lookup.h"

#if !defined(_WIN32)

#include <fontconfig/fontconfig.h>

#include <vector>

namespace {

// Song (Ming) faces are Chinese text's serif faces. fontconfig knows none of Windows' Chinese
// names, and a name it does not know falls back on its sans-serif list, where no Song face is.
const char* const kSongFamilies[] = {
    "\xE5\xAE\x8B\xE4\xBD\x93",              // 宋体
    "\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93",  // 新宋体
    "SimSun", "NSimSun",
};

bool IsSongFamily(const std::string& family) {
    for (const char* song : kSongFamilies) {
        if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(song),
                               reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> Strings(const FcPattern* pattern, const char* object) {
    std::vector<std::string> values;
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, object, i, &value) == FcResultMatch; ++i) {
        values.emplace_back(reinterpret_cast<const char*>(value));
    }
    return values;
}

// One installed face, where fontconfig or its collection puts it.
struct Offer {
    std::string file;
    int index = 0;
    bool named = false;  // one of its families is one the pattern asked for (or their aliases)
};

bool Matches(const std::vector<std::string>& names, const std::vector<std::string>& wanted) {
    for (const std::string& name : names) {
        for (const std::string& want : wanted) {
            if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name.c_str()),
                                   reinterpret_cast<const FcChar8*>(want.c_str())) == 0) {
                return true;
            }
        }
    }
    return false;
}

// The faces to try, best first. The text needs half-width Latin letters, looked for among the
// faces of the families asked for (the name, and the faces fontconfig lists for its style), in
// fontconfig's order, and among the other faces of their collections: WenQuanYi Zen Hei's file
// also holds its Mono face, the same letters on half-width cells. For a Hei (sans-serif) name a
// face's collection is tried right after it, so that its own Mono face comes before a face of
// another style that fontconfig happens to list for sans-serif; for a Song name every named
// face comes first, as a Hei face's Mono face is no Song face. Then every other Chinese face
// fontconfig offers. `offers` is fontconfig's order, its best match first.
std::vector<Offer> TryOrder(FT_Library library, const std::vector<Offer>& offers, bool song) {
    std::vector<Offer> order;
    auto listed = [&order](const std::string& file, int index) {
        for (const Offer& offer : order) {
            if (offer.file == file && offer.index == index) return true;
        }
        return false;
    };
    auto addCollection = [&](const std::string& file) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.c_str(), -1, &face) != 0) return;
        FT_Long faces = face->num_faces;
        FT_Done_Face(face);
        for (int index = 0; index < faces && index < 256; ++index) {
            if (!listed(file, index)) order.push_back({file, index, false});
        }
    };
    for (const Offer& offer : offers) {
        if (!offer.named || listed(offer.file, offer.index)) continue;
        order.push_back(offer);
        if (!song) addCollection(offer.file);
    }
    for (size_t n = 0, named = order.size(); song && n < named; ++n) {
        const std::string file = order[n].file;  // the collection's faces go onto `order`
        addCollection(file);
    }
    for (const Offer& offer : offers) {
        if (!listed(offer.file, offer.index)) order.push_back(offer);
    }
    return order;
}

}  // namespace

bool OpenFontFor(FT_Library library, const std::string& family, int pixelSize, bool bold,
                 bool italic, FoundFont* found, std::string* error) {
    auto fail = [error](std::string why) {
        if (error != nullptr) *error = std::move(why);
        return false;
    };
    if (FcInit() == FcFalse) return fail("fontconfig cannot start");

    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    const bool song = IsSongFamily(family);
    if (song) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("serif"));
    // A bare Chinese family name matches a Latin default font on a system without that exact
    // family; asking for the language finds an installed CJK font instead.
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    const std::vector<std::string> asked = Strings(pattern, FC_FAMILY);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);

    // fontconfig's best match first, whatever it covers (it is the last resort), then the
    // faces that can draw Chinese, in its order.
    std::vector<Offer> offers;
    for (int i = 0; sorted != nullptr && i < sorted->nfont; ++i) {
        const FcPattern* font = sorted->fonts[i];
        FcChar8* file = nullptr;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) continue;
        FcCharSet* characters = nullptr;
        bool chinese = FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) == FcResultMatch &&
                       FcCharSetHasChar(characters, 0x4E2D);
        if (!chinese && !offers.empty()) continue;
        Offer offer{reinterpret_cast<const char*>(file), 0, chinese && Matches(Strings(font, FC_FAMILY), asked)};
        FcPatternGetInteger(font, FC_INDEX, 0, &offer.index);
        offers.push_back(std::move(offer));
    }
    if (sorted != nullptr) FcFontSetDestroy(sorted);
    if (offers.empty()) return fail("fontconfig knows no font for it");

    for (const Offer& offer : TryOrder(library, offers, song)) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, offer.file.c_str(), offer.index, &face) != 0) continue;
        if (HasChinese(face) && HasHalfWidthLatin(face)) {
            TakeFace(face, offer.file, found);
            return true;
        }
        FT_Done_Face(face);
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, offers[0].file.c_str(), offers[0].index, &face) != 0) {
        return fail("FreeType cannot open " + offers[0].file);
    }
    TakeFace(face, offers[0].file, found);
    return true;
}

#endif  // !_WIN32
