// The Typecast viewer's kinds and texts.
#include "messages/TypeCastText.h"

#include "app/QrLib.h"
#include "app/Utf8Text.h"

#include <cstdlib>

// A handle the platform confirms comes first: in a 64-bit process small handle values can also be readable
// addresses, and a confirmed font or icon is what such a value stands for.
TTypeCastKind ChooseTypeCastKind(const TTypeCastProbe& probe) {
    if (probe.IsFont) return tkFont;
    if (probe.IsIcon) return tkIcon;
    if (probe.StringReadable) return tkString;
    if (probe.ReadableBytes >= 1) return tkByte;
    if (probe.ReadableBytes >= 2) return tkWord;
    if (probe.ReadableBytes >= 4) return tkDword;
    return tkInvalid;
}

const char* TypeCastKindName(TTypeCastKind kind) {
    switch (kind) {
    case tkString:
        return "string";
    case tkByte:
        return "byte";
    case tkWord:
        return "word";
    case tkDword:
        return "dword";
    case tkFont:
        return "font";
    case tkIcon:
        return "icon";
    default:
        return "invalid";
    }
}

std::string TypeCastCaption(TTypeCastKind kind, uint64_t value) {
    return FormatText("%s(0x%llx)", TypeCastKindName(kind), static_cast<unsigned long long>(value));
}

std::string StringViewText(const std::string& bytes) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos) return bytes.substr(0, zero);
    // The copy's bound, not the text, ended it: it may have stopped inside a character.
    return Utf8Cut(bytes, bytes.size());
}

std::string NumberViewText(TTypeCastKind kind, const std::string& bytes) {
    size_t width = kind == tkByte ? 1 : kind == tkWord ? 2 : kind == tkDword ? 4 : 0;
    if (width == 0 || bytes.size() < width) return std::string();
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    static const char* const formats[] = {"", "0x%.2x", "0x%.4x", "", "0x%.8x"};
    return FormatNumber(formats[width], value);
}

int32_t FontPoints(int32_t height, int32_t ppi) {
    if (ppi <= 0) return 0;
    int64_t points = static_cast<int64_t>(height) * 72 / ppi;
    if (points < 0) points = -points;
    return static_cast<int32_t>(points > INT32_MAX ? INT32_MAX : points);
}

std::string FontViewText(const std::string& face, int32_t height, int32_t width, int32_t weight,
                         int32_t ppi) {
    return FormatText("Face:\t%s\r\nHeight:\t%d pt, %d log, %d ppi\r\nWidth:\t%d\r\nWeight:\t%d (boldness)",
                      face.c_str(), FontPoints(height, ppi), height, ppi, width, weight);
}

const char* IconTypeName(bool isIcon) {
    return isIcon ? "Icon" : "Cursor";
}

std::string IconViewText(int32_t hotspotX, int32_t hotspotY, bool isIcon) {
    return FormatText("Size:\t\t%d x %d\r\nHotspot:\t%d x %d\r\nType:\t\t%s", 2 * hotspotX, 2 * hotspotY,
                      hotspotX, hotspotY, IconTypeName(isIcon));
}
