// Row order, filter and find-number rules of the Enum tab.
#include "tabs/EnumRows.h"

namespace {

unsigned char FoldAscii(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

} // namespace

int CompareFoldedText(std::string_view a, std::string_view b) {
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        int difference = static_cast<int>(FoldAscii(a[i])) - static_cast<int>(FoldAscii(b[i]));
        if (difference != 0) return Sign(difference);
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareRowNumbers(uint32_t a, uint32_t b) {
    return a > b ? 1 : -1;
}

int CompareEnumRows(const TEnumRowValues& a, const TEnumRowValues& b, int column, bool descending) {
    int result = 0;
    switch (column) {
    case ecClass:
        result = CompareFoldedText(a.ClassName, b.ClassName);
        break;
    case ecHandle:
        result = CompareRowNumbers(a.Handle, b.Handle);
        break;
    case ecCaption:
        result = CompareFoldedText(a.Caption, b.Caption);
        break;
    case ecParent:
        result = CompareRowNumbers(a.Parent, b.Parent);
        break;
    case ecPid:
        result = CompareRowNumbers(a.ProcessId, b.ProcessId);
        break;
    case ecTid:
        result = CompareRowNumbers(a.ThreadId, b.ThreadId);
        break;
    case ecStyle:
        result = CompareRowNumbers(a.Style, b.Style);
        break;
    default:
        return 0;
    }
    return descending ? -result : result;
}

// A sort given "a before b" and "b before a" at once may run past its range; such rows are equal instead
// and keep the order in which they were enumerated.
int CompareEnumRowsForSort(const TEnumRowValues& a, const TEnumRowValues& b, int column, bool descending) {
    int forward = CompareEnumRows(a, b, column, descending);
    if (forward < 0 && CompareEnumRows(b, a, column, descending) < 0) return 0;
    return forward;
}

bool EnumFilterKeeps(std::string_view className, std::string_view caption, std::string_view filter,
                     TUpperCaser upperCase) {
    if (filter.empty()) return true;
    return FindText(className, filter, 1, false, false, upperCase) > 0 ||
           FindText(caption, filter, 1, false, false, upperCase) > 0;
}

uint32_t FindTextHandleValue(std::string_view text) {
    int32_t value = 0;
    if (!TryIntFromText(text, value)) return 0;
    return static_cast<uint32_t>(value);
}
