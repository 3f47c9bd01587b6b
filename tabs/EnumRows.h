// What the Enum tab computes without the platform: row order, the filter test and the find text's number.
#pragma once

#include "app/QrLib.h"

#include <cstdint>
#include <string>
#include <string_view>

// The values of one listed window that the list sorts by.
struct TEnumRowValues {
    std::string ClassName;
    std::string Caption; // raw, line breaks included
    uint32_t Handle = 0;
    uint32_t Parent = 0;
    uint32_t ProcessId = 0;
    uint32_t ThreadId = 0;
    uint32_t Style = 0;
};

enum TEnumColumn : int {
    ecClass = 0,
    ecHandle = 1,
    ecCaption = 2,
    ecParent = 3,
    ecPid = 4,
    ecTid = 5,
    ecStyle = 6,
};

// Texts compared with only the ASCII letters a-z folded to upper case: the sign of the first differing
// byte (unsigned), or of the lengths.
int CompareFoldedText(std::string_view a, std::string_view b);
// +1 when a is greater, otherwise -1: equal values compare as -1.
int CompareRowNumbers(uint32_t a, uint32_t b);
// The list's comparison of two rows by a column, negated when descending.
int CompareEnumRows(const TEnumRowValues& a, const TEnumRowValues& b, int column, bool descending);
// A comparison that is usable for sorting: two rows that each compare below the other are equal.
int CompareEnumRowsForSort(const TEnumRowValues& a, const TEnumRowValues& b, int column, bool descending);

// Whether a window stays under a filter text: an empty filter keeps everything; otherwise the filter must
// occur, case-insensitively, in the class name or the caption.
bool EnumFilterKeeps(std::string_view className, std::string_view caption, std::string_view filter,
                     TUpperCaser upperCase);

// The handle value that a find text names by the integer text rule; 0 when the text is no number (or 0).
uint32_t FindTextHandleValue(std::string_view text);
