// Fuzz target: the resource pack, attached from bytes, every member read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourcePack pack;
    if (pack.AttachBytes(std::vector<unsigned char>(data, data + size), kFuzzPackPassword) ==
        PackAttach::CannotOpen) {
        return 0;
    }
    std::vector<unsigned char> out;
    const int64_t count = pack.MemberCount();
    for (int64_t i = 0; i < count && i < 64; ++i) {
        const PackRead read = pack.ReadMember(i, out);
        FUZZ_CHECK(read == PackRead::Ok || out.empty());
        // By name too: the lookup the game uses.
        pack.Read(pack.MemberName(i), out);
    }
    return 0;
}
