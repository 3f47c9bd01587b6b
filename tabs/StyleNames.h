// Window styles by name: the WS_ and WS_EX_ names of every window and the styles of the standard classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One name of a style table. A plain flag has Mask == Value; a field of several bits names one of its values
// (Value may be 0, as for BS_PUSHBUTTON). The name applies only where (style & IfMask) == IfValue, which
// lets the same bits read differently with another bit set (WS_MINIMIZEBOX or WS_GROUP, by WS_CHILD).
struct TStyleName {
    const char* Name;
    uint32_t Value;
    uint32_t Mask;
    uint32_t IfMask;
    uint32_t IfValue;
};

// The names that one or more window classes give their style bits.
struct TStyleTable {
    const char* Prefix;                       // "BS_"; every name of the table starts with it
    std::vector<std::string_view> ClassNames; // compared without regard to case
    std::vector<TStyleName> Names;
};

// The WS_ names, the WS_EX_ names and every class table, for checking against the platform's headers.
const TStyleTable& WindowStyleTable();
const TStyleTable& ExtendedStyleTable();
const std::vector<TStyleTable>& ClassStyleTables();
// The class table for a class name (a version prefix such as "6.0.0.0!" is ignored); null for others.
const TStyleTable* ClassStyleTable(std::string_view className);

// The names of a style, window styles first and then the class's own, with the bits that no name explains
// as a last hexadecimal item ("0x3"); a style that nothing names gives "0".
std::vector<std::string> StyleNames(uint32_t style, std::string_view className);
std::vector<std::string> ExtendedStyleNames(uint32_t exStyle);
// The names joined with " | ".
std::string StyleText(uint32_t style, std::string_view className);
std::string ExtendedStyleText(uint32_t exStyle);

// The CS_ names of a window class's style and the GUI_ names of a thread's input flags.
const TStyleTable& ClassStyleFlagTable();
const TStyleTable& GuiThreadFlagTable();
// The names of a flag word by one table, joined with " | ", the unnamed bits last in hexadecimal; empty for
// 0.
std::string FlagsText(uint32_t value, const TStyleTable& table);
