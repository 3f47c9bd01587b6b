// Shared helpers that need the platform: message boxes, the clipboard, fonts, dates, error texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/QrLib.h"

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags, HWND owner);
// Our 8-bit text in UTF-16. It is in the process code page: UTF-8 where the manifest's setting is honoured,
// the ANSI page on an older Windows that ignores it (where the platform gave us its texts in that page).
std::wstring WideText(const std::string& text);
bool CopyTextToClipboard(HWND owner, const std::string& text);
// DrawTextA and its measures read the bytes in the code page of the font's character set, not in ours:
// our text is drawn and measured through its Unicode form.
int DrawProgramText(HDC dc, const std::string& text, RECT* rect, UINT format);
SIZE ProgramTextExtent(HDC dc, const std::string& text);
// The font that a text such as `Tahoma, 9; bi` describes, on top of the icon-title font.
HFONT FontFromText(const std::string& text); // new font, owned by the caller
// A window handle as the 32-bit number the program shows ("0x%.8x"); handles fit 32 bits on 64-bit Windows
// too.
inline uint32_t HandleValue(HWND handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}
// The screen's vertical pixels per inch; 96 when it cannot be read.
int ScreenPixelsPerInch();
// The numeric form, or the date in the user's long date format (empty when the bytes are no date).
std::string VersionText(uint32_t packed, bool numeric);
std::string LastErrorText(); // the system's text for GetLastError()
// The system's text for an error code, without the trailing line break.
std::string ErrorText(DWORD code);

// The title the window system keeps for a window, up to maxLength characters, read without a message to it.
std::string StoredWindowText(HWND window, int maxLength);
// A window's caption into a buffer of `size` characters (always terminated) without ever waiting: a window of
// this thread is asked directly, another program's window gives its stored title (as GetWindowText does),
// and so does a window of another thread of this program, which GetWindowText would ask and wait for
// without limit.
int CaptionNoWait(HWND window, char* buffer, int size);

// The full path of a module (null: the executable), however long; initialSize only sets the first attempt.
std::string ModuleFileName(HMODULE module, DWORD initialSize = MAX_PATH);
// Gives a replacement file the attributes of the file it replaces (hidden, system, archive, ...); the
// settings store's attribute keeper on Windows (see SetFileAttributeKeeper).
bool KeepFileAttributes(const std::string& from, const std::string& to);

// The locale's upper-casing (CharUpperBuffA), for FindText.
void UpperCaseLocale(std::string& text);
// FindText with the locale's upper-casing.
int FindText(const std::string& text, const std::string& pattern, int start, bool caseSensitive,
             bool wholeWord);

// A file time (UTC) as a local date-time value: days since 30 December 1899, fraction the time of day.
// 0 when the platform cannot convert it.
double FileTimeToLocalDateTime(const FILETIME& fileTime);

// A process opened to read its times, image path and counters, or null. A process that runs with higher
// rights refuses the full query and memory access but grants the limited query, which those calls need.
HANDLE OpenProcessToQuery(DWORD processId);
