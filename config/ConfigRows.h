// How the Config tab shows a variable as a row and orders two rows; no platform code.
#pragma once

#include <string>
#include <string_view>

class TConfigVar;

// Case-insensitive order of 8-bit texts: a-z equal A-Z, every other character by its code; no locale.
// Negative, 0 or positive.
int CompareTextNoCase(std::string_view a, std::string_view b);

// The full name, a blank, and "*" when the variable was modified.
std::string ConfigRowCaption(const TConfigVar& variable);
// The shared image of the variable's type: boolean 9, integer 3, float 1, string 6.
int ConfigRowImage(const TConfigVar& variable);
// The order of two variables by a column (0 name, 1 value text, 2 type name), negated when descending.
int CompareConfigRows(const TConfigVar& a, const TConfigVar& b, int column, bool descending);
