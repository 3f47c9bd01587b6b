// Cutting UTF-8 text at a byte limit.
#include "app/Utf8Text.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the sequence that a lead byte starts; 0 for a byte that starts none.
size_t SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

} // namespace

size_t Utf8CutLength(std::string_view text, size_t limit) {
    if (limit >= text.size())
        limit = text.size();
    else if (!IsContinuation(static_cast<unsigned char>(text[limit])))
        return limit;
    // At most three continuation bytes follow a lead byte.
    size_t lead = limit;
    while (lead > 0 && limit - lead < 3 && IsContinuation(static_cast<unsigned char>(text[lead - 1])))
        --lead;
    if (lead == 0) return limit;
    --lead;
    const size_t need = SequenceLength(static_cast<unsigned char>(text[lead]));
    return need > 1 && lead + need > limit ? lead : limit;
}

std::string Utf8Cut(std::string_view text, size_t limit) {
    return std::string(text.substr(0, Utf8CutLength(text, limit)));
}

size_t EndAtWholeCharacter(char* buffer, size_t size) {
    if (size == 0) return 0;
    buffer[size - 1] = '\0';
    size_t length = std::strlen(buffer);
    // Only a text that reached the buffer's end can have been cut.
    if (length + 1 == size) length = Utf8CutLength(std::string_view(buffer, length), length);
    buffer[length] = '\0';
    return length;
}
