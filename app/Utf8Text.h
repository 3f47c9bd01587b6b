// UTF-8 text cut to a byte limit without splitting a character: the program's 8-bit text is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest length up to limit at which text can be cut without ending inside a multi-byte sequence.
// Bytes that are no UTF-8 (an older file in an ANSI code page) are single characters and kept as they are.
size_t Utf8CutLength(std::string_view text, size_t limit);
std::string Utf8Cut(std::string_view text, size_t limit);
// Ends a zero-terminated text in a buffer of size bytes that the platform may have filled to its last byte:
// terminated within the buffer, with a sequence that the filling cut short taken off. Returns the length.
size_t EndAtWholeCharacter(char* buffer, size_t size);
