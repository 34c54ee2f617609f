// Fuzz target: the settings file. Read every key, write one, read back: the written key holds
// its new value and every other key reads as it did.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/profile.h"

namespace {

const struct {
    const char* section;
    const char* key;
} kKeys[] = {{"KeyPress", "UP"},   {"KeyPress", "DOWN"},  {"KeyPress", "LEFT"},     {"KeyPress", "RIGHT"},
             {"KeyPress", "SLOW"}, {"KeyPress", "SHOOT"}, {"KeyPress", "BOMB"},     {"KeyPress", "SKIP"},
             {"Sound", "BGM"},     {"Sound", "SE"},       {"System", "AutoBomb"},   {"System", "Window"}};
constexpr size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the key to write and its value; the rest is the file.
    const size_t written = data[0] % kKeyCount;
    const char* value = (data[0] & 0x80) != 0 ? "-2147483648" : "38";
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    Profile before;
    before.FromText(text);
    uint32_t values[kKeyCount];
    for (size_t i = 0; i < kKeyCount; ++i) values[i] = before.GetInt(kKeys[i].section, kKeys[i].key, 777);

    Profile edited = before;
    edited.Set(kKeys[written].section, kKeys[written].key, value);
    Profile after;
    after.FromText(edited.ToText());
    for (size_t i = 0; i < kKeyCount; ++i) {
        const uint32_t now = after.GetInt(kKeys[i].section, kKeys[i].key, 777);
        if (i == written) {
            FUZZ_CHECK(now == ((data[0] & 0x80) != 0 ? 0x80000000u : 38u));
        } else {
            FUZZ_CHECK(now == values[i]);
        }
    }
    return 0;
}
