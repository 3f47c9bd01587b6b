// The target program's windows titled beyond any 8-bit code page: with "unicode" among its arguments the
// target shows a top-level window with a Cyrillic, CJK and accented title and two children, one titled in
// CJK and one with an emoji outside the Basic Multilingual Plane, of a class with a Cyrillic name.
#pragma once

#include <windows.h>

#include <string>

const wchar_t* const UnicodeTopTitle = L"\u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d \u00e9t\u00e9";
const wchar_t* const UnicodeCjkTitle = L"\u6f22\u5b57\u306e\u7a93";
const wchar_t* const UnicodeEmojiTitle = L"Emoji \U0001F600 grin";
const wchar_t* const UnicodeClass = L"PaneprobeTargetUnicode";
const wchar_t* const UnicodeChildClass = L"Paneprobe\u041a\u043b\u0430\u0441\u0441";
const int UnicodeCjkId = 21;
const int UnicodeEmojiId = 22;

void CreateUnicodeWindowsIfAsked(HINSTANCE instance, const std::string& arguments);
