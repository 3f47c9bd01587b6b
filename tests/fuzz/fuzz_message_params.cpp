// Parameter texts: any text reads as a number or a buffer description, and the buffer made from it holds
// exactly what the text describes.
#include "FuzzCheck.h"
#include "app/QrLib.h"
#include "messages/MessageParams.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Large counts are real requests, but the fuzzer's memory limit is not the program's.
void* SmallCalloc(size_t count, size_t size) {
    return count * size > (1u << 20) ? nullptr : std::calloc(count, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int bits : {32, 64}) {
        const TParamText parsed = ParseParamText(text, bits);
        TMessageBuffers buffers(SmallCalloc);
        const uintptr_t value = buffers.Apply(1, parsed);
        FUZZ_CHECK(buffers.GetBuffer(0) == nullptr);
        void* buffer = buffers.GetBuffer(1);
        FUZZ_CHECK((buffer == nullptr) == (buffers.GetBufferSize(1) == 0));
        switch (parsed.Kind) {
        case TParamKind::Number:
            FUZZ_CHECK(buffer == nullptr && value == static_cast<uintptr_t>(parsed.Number));
            if (bits == 32) FUZZ_CHECK(parsed.Number == IntFromText(text, 0));
            break;
        case TParamKind::ZeroBuffer:
            FUZZ_CHECK(text[0] == '*');
            if (parsed.Size <= 0) FUZZ_CHECK(buffer == nullptr && value == 0);
            if (buffer) {
                FUZZ_CHECK(buffers.GetBufferSize(1) == static_cast<size_t>(parsed.Size));
                const char* bytes = static_cast<const char*>(buffer);
                for (size_t i = 0; i < buffers.GetBufferSize(1); ++i)
                    FUZZ_CHECK(bytes[i] == 0);
            }
            break;
        case TParamKind::TextBuffer:
            FUZZ_CHECK(text.size() >= 3 && text[0] == '@' && text[1] == '"' && text.back() == '"');
            FUZZ_CHECK(parsed.Bytes.size() == text.size() - 2);
            FUZZ_CHECK(std::memcmp(parsed.Bytes.data(), text.data() + 2, text.size() - 3) == 0);
            FUZZ_CHECK(parsed.Bytes.back() == '\0');
            [[fallthrough]];
        case TParamKind::IntBuffer:
            if (buffer) {
                FUZZ_CHECK(buffers.GetBufferSize(1) == parsed.Bytes.size());
                FUZZ_CHECK(std::memcmp(buffer, parsed.Bytes.data(), parsed.Bytes.size()) == 0);
            }
            break;
        case TParamKind::CurrentBuffer:
            FUZZ_CHECK(text[0] == '@' && buffer == nullptr && value == 0);
            break;
        }
        if (buffer) FUZZ_CHECK(value == reinterpret_cast<uintptr_t>(buffer));
    }
    return 0;
}
