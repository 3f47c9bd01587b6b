// The escaping of the snapshot file: every line stays one line, and the characters that carry structure
// (separators, headers, path steps) never appear unescaped where they would be misread.
#pragma once

#include <string>
#include <string_view>

// "\\", "\n", "\r", "\t" and "\xHH" for the other control characters; trailing blanks as "\x20", so that
// an editor that trims lines changes nothing.
std::string EscapeValue(std::string_view text);
// As a value, and also "=", "~" and a leading "[", which would read as a separator or a header.
std::string EscapeName(std::string_view text);
// A path element: the escaped class name, "#" and the escaped id when there is one; "/", "~", "[" and "]"
// inside them are escaped (a "#" may stay: paths stay unique by their "~n").
std::string PathElement(std::string_view className, std::string_view controlId);
// The text an escaped text stands for; false, with the offending escape in `error`, for an unknown or cut
// escape.
bool Unescape(std::string_view text, std::string& out, std::string& error);
