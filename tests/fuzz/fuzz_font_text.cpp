// Font texts: any description gives a usable font record.
#include "FuzzCheck.h"
#include "app/QrLib.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t dpi = 48 + data[0] * 2 + (data[1] & 1) * 1000;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const TFontSpec font = ParseFontText(text, -11, "Tahoma", dpi);
    FUZZ_CHECK(font.FaceName.size() <= TFontSpec::MaxFaceLength);
    FUZZ_CHECK(font.Weight == 400 || font.Weight == 700);
    FUZZ_CHECK(font.FaceName.find('\0') == std::string::npos || text.find('\0') != std::string_view::npos);
    return 0;
}
