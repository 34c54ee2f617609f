// Fuzz target: the font description reader, through the engine's resource loading as the game
// reads it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "gfx/bitmap_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = FuzzScratchFile("font0.fnt");
    // One reference held throughout, so the engine is not shut down and made anew each run.
    static Engine* const engine = hgeCreate(HGE_VERSION);
    (void)engine;
    if (!FuzzWriteFile(path, data, size)) return 0;
    BitmapFont font(path.c_str(), false);
    font.TextWidth("Mirror\nfall", true);
    return 0;
}
