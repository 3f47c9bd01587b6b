// Writing and reading the move/size answer.
#include "tabs/MoveSizeText.h"

#include "app/QrLib.h"

namespace {

bool IsNumberChar(char c) {
    return c == '-' || (c >= '0' && c <= '9');
}

} // namespace

std::string MoveSizeText(const TMoveSize& geometry) {
    return std::to_string(geometry.Left) + "x" + std::to_string(geometry.Top) + "; " +
           std::to_string(geometry.Width) + "x" + std::to_string(geometry.Height);
}

TMoveSize ParseMoveSizeText(std::string_view text, const TMoveSize& current) {
    TMoveSize result = current;
    result.Flags = MoveSizeNoSize | MoveSizeNoMove | MoveSizeNoZOrder;
    int32_t* fields[] = {&result.Left, &result.Top, &result.Width, &result.Height};
    const size_t n = text.size();
    size_t start = 0;
    for (int field = 0; start < n; ++field) {
        // The last character is never skipped, so a trailing separator still counts as an (empty) field.
        while (start + 1 < n && !IsNumberChar(text[start]))
            ++start;
        size_t end = start;
        while (end < n && IsNumberChar(text[end]))
            ++end;
        if (field < 4) *fields[field] = IntFromText(text.substr(start, end - start), *fields[field]);
        if (field == 1) result.Flags &= ~MoveSizeNoMove;
        if (field == 3) {
            result.Flags &= ~MoveSizeNoSize;
            break;
        }
        start = end + 1; // the character that ended the number is passed over
    }
    return result;
}
