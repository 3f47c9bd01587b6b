// The integer text rule: whatever it accepts must be the number the text spells.
#include "FuzzCheck.h"
#include "app/QrLib.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int32_t value = 12345;
    const bool accepted = TryIntFromText(text, value);
    FUZZ_CHECK(IntFromText(text, 777) == (accepted ? value : 777));
    if (!accepted) {
        FUZZ_CHECK(value == 12345);
        return 0;
    }
    // Its decimal and hexadecimal spellings read back to the same value.
    int32_t decimal = 0, hex = 0;
    FUZZ_CHECK(TryIntFromText(FormatText("%d", value), decimal) && decimal == value);
    FUZZ_CHECK(TryIntFromText(FormatText("0x%x", value), hex) && hex == value);
    FUZZ_CHECK(!TryIntFromText(std::string(text) + " ", decimal));
    return 0;
}
