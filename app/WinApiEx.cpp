// Shared helpers that need the platform.
#include "app/WinApiEx.h"

#include "app/TimeUtils.h"
#include "app/Utf8Text.h"
#include "ui/WinHandles.h"

#include <algorithm>
#include <cstring>
#include <vector>

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags, HWND owner) {
    TFocusReturn focus;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

namespace {

// Once the clipboard holds the memory it is the clipboard's; otherwise it is still ours to free.
bool PlaceOnClipboard(UINT format, const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return false;
    }
    CopyMemory(bytes, data, size);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory)) return true;
    GlobalFree(memory);
    return false;
}

} // namespace

std::wstring WideText(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

int DrawProgramText(HDC dc, const std::string& text, RECT* rect, UINT format) {
    const std::wstring wide = WideText(text);
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect, format);
}

SIZE ProgramTextExtent(HDC dc, const std::string& text) {
    const std::wstring wide = WideText(text);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return extent;
}

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    // Other programs would read CF_TEXT through the locale's ANSI page, not ours (UTF-8): the Unicode
    // form is the text, the 8-bit one is there for programs that ask for nothing else.
    const std::wstring wide = WideText(text);
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool placed = PlaceOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    placed = PlaceOnClipboard(CF_TEXT, text.c_str(), text.size() + 1) || placed;
    CloseClipboard();
    return placed;
}

int ScreenPixelsPerInch() {
    TWindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

HFONT FontFromText(const std::string& text) {
    const int32_t dpi = ScreenPixelsPerInch();
    LOGFONTA base = {};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof base, &base, 0)) {
        base = {};
        base.lfHeight = -MulDiv(8, dpi, 72);
        lstrcpynA(base.lfFaceName, "Tahoma", LF_FACESIZE);
    }
    base.lfFaceName[LF_FACESIZE - 1] = '\0';
    const TFontSpec parsed = ParseFontText(text, base.lfHeight, base.lfFaceName, dpi);

    LOGFONTA font = {};
    font.lfHeight = parsed.Height;
    font.lfWeight = parsed.Weight;
    font.lfItalic = parsed.Italic ? TRUE : FALSE;
    font.lfUnderline = parsed.Underline ? TRUE : FALSE;
    font.lfStrikeOut = parsed.StrikeOut ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, parsed.FaceName.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

std::string VersionText(uint32_t packed, bool numeric) {
    if (numeric) return VersionTextNumeric(packed);
    int year = 0, month = 0, day = 0;
    if (!VersionDate(packed, year, month, day)) return std::string();
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    // The weekday is filled in so that a long date format with "dddd" names the right day everywhere.
    date.wDayOfWeek = static_cast<WORD>(DayOfWeek(year, month, day));
    const int size = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &date, nullptr, nullptr, 0);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size));
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &date, nullptr, buffer.data(), size) <= 0)
        return std::string();
    return std::string(buffer.data());
}

std::string ErrorText(DWORD code) {
    char* message = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPSTR>(&message), 0, nullptr);
    std::string text = length && message ? std::string(message, length) : std::string();
    if (message) LocalFree(message);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.pop_back();
    return text;
}

std::string LastErrorText() {
    const DWORD code = GetLastError();
    return ErrorText(code);
}

void UpperCaseLocale(std::string& text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
}

int FindText(const std::string& text, const std::string& pattern, int start, bool caseSensitive,
             bool wholeWord) {
    return FindText(std::string_view(text), std::string_view(pattern), start, caseSensitive, wholeWord,
                    UpperCaseLocale);
}

double FileTimeToLocalDateTime(const FILETIME& fileTime) {
    SYSTEMTIME utc = {}, local = {};
    if (!FileTimeToSystemTime(&fileTime, &utc)) return 0;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return 0;
    return EncodeDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                          local.wMilliseconds);
}

std::string ModuleFileName(HMODULE module, DWORD initialSize) {
    // The platform cuts the path to the buffer without saying how long it is: grow until it fits.
    const DWORD LongestPath = 32768;
    for (DWORD size = initialSize < 2 ? 2 : initialSize;; size *= 2) {
        std::vector<char> path(size, '\0');
        DWORD length = GetModuleFileNameA(module, path.data(), size);
        if (length == 0) return std::string();
        if (length < size - 1 || size >= LongestPath) return std::string(path.data(), length);
    }
}

bool KeepFileAttributes(const std::string& from, const std::string& to) {
    const DWORD Settable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                           FILE_ATTRIBUTE_TEMPORARY;
    DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    attributes &= Settable;
    return SetFileAttributesA(to.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::string StoredWindowText(HWND window, int maxLength) {
    std::vector<wchar_t> wide(static_cast<size_t>(maxLength) + 1, L'\0');
    int length = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
    if (length <= 0) return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0], bytes, nullptr, nullptr);
    return text;
}

int CaptionNoWait(HWND window, char* buffer, int size) {
    if (size <= 0) return 0;
    buffer[0] = '\0';
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (threadId == GetCurrentThreadId() || processId != GetCurrentProcessId()) {
        GetWindowTextA(window, buffer, size);
        return static_cast<int>(EndAtWholeCharacter(buffer, static_cast<size_t>(size)));
    }
    std::string text = StoredWindowText(window, size - 1);
    size_t length = Utf8CutLength(text, static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

HANDLE OpenProcessToQuery(DWORD processId) {
    const DWORD limitedQuery = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION, newer than the headers' minimum
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId))
        return process;
    return OpenProcess(limitedQuery, FALSE, processId);
}
