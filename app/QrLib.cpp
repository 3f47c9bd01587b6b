// Shared helper functions that need no platform.
#include "app/QrLib.h"

#include <cstdarg>

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

size_t HexPrefixLength(std::string_view text) {
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) return 1;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
    return 0;
}

bool ReadHex(std::string_view digits, int32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t result = 0;
    for (char c : digits) {
        int d = HexDigitValue(c);
        if (d < 0) return false;
        result = (result << 4) | static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(result);
    return true;
}

bool ReadDecimal(std::string_view text, int32_t& value) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
        if (result > limit) return false;
    }
    value = static_cast<int32_t>(negative ? -result : result);
    return true;
}

} // namespace

bool TryIntFromText(std::string_view text, int32_t& value) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    if (size_t prefix = HexPrefixLength(text)) return ReadHex(text.substr(prefix), value);
    return ReadDecimal(text, value);
}

int32_t IntFromText(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return TryIntFromText(text, value) ? value : fallback;
}

namespace {

// One parsed placeholder of a format.
struct TFormatSpec {
    bool LeftAlign = false;
    bool ZeroPad = false;
    int Width = 0;
    int Precision = -1;
    int LongCount = 0;
    char Conversion = 0;
};

// Widths and precisions past this are typing errors, not layouts; capping them keeps a format from
// asking for gigabytes.
constexpr int MaxFieldWidth = 4096;

int ReadFieldNumber(const char*& p) {
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < MaxFieldWidth) value = value * 10 + (*p - '0');
        ++p;
    }
    return value < MaxFieldWidth ? value : MaxFieldWidth;
}

// Reads the placeholder after a '%'; p ends past it. False (p unchanged) when it is not one we know.
bool ParseFormatSpec(const char*& p, TFormatSpec& field) {
    const char* q = p;
    for (;; ++q) {
        if (*q == '-')
            field.LeftAlign = true;
        else if (*q == '0')
            field.ZeroPad = true;
        else
            break;
    }
    field.Width = ReadFieldNumber(q);
    if (*q == '.') {
        ++q;
        field.Precision = ReadFieldNumber(q);
    }
    while (*q == 'l' && field.LongCount < 2) {
        ++field.LongCount;
        ++q;
    }
    switch (*q) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 's':
    case 'c':
    case '%':
        field.Conversion = *q;
        p = q + 1;
        return true;
    default:
        return false;
    }
}

void AppendPadded(std::string& out, const std::string& body, const TFormatSpec& field) {
    size_t pad = static_cast<size_t>(field.Width) > body.size() ? field.Width - body.size() : 0;
    if (!field.LeftAlign) out.append(pad, ' ');
    out += body;
    if (field.LeftAlign) out.append(pad, ' ');
}

// A number given as sign and magnitude, so that the most negative 64-bit value needs no negation.
void AppendNumber(std::string& out, bool negative, uint64_t magnitude, const TFormatSpec& field) {
    const bool hex = field.Conversion == 'x' || field.Conversion == 'X';
    std::string digits;
    do {
        unsigned d = static_cast<unsigned>(hex ? magnitude % 16 : magnitude % 10);
        digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'A' + d - 10));
        magnitude = hex ? magnitude / 16 : magnitude / 10;
    } while (magnitude != 0);
    if (field.Precision == 0 && digits == "0") digits.clear();
    if (field.Precision > 0 && digits.size() < static_cast<size_t>(field.Precision))
        digits.insert(0, field.Precision - digits.size(), '0');
    const std::string sign = negative ? "-" : "";
    if (field.ZeroPad && !field.LeftAlign && field.Precision < 0 &&
        sign.size() + digits.size() < static_cast<size_t>(field.Width))
        digits.insert(0, field.Width - sign.size() - digits.size(), '0');
    AppendPadded(out, sign + digits, field);
}

// Where placeholders get their values: the variable arguments of a call, or one fixed number.
class TFormatSource {
  public:
    virtual ~TFormatSource() = default;
    virtual void Number(const TFormatSpec& field, bool& negative, uint64_t& magnitude) = 0;
    virtual const char* Text() = 0;
};

class TVarArgSource : public TFormatSource {
  public:
    explicit TVarArgSource(va_list& args) : Args(args) {}
    void Number(const TFormatSpec& field, bool& negative, uint64_t& magnitude) override {
        const bool isSigned = field.Conversion == 'd' || field.Conversion == 'i' || field.Conversion == 'c';
        int64_t signedValue = 0;
        uint64_t unsignedValue = 0;
        if (field.LongCount == 2) {
            if (isSigned)
                signedValue = va_arg(Args, long long);
            else
                unsignedValue = va_arg(Args, unsigned long long);
        } else if (field.LongCount == 1) {
            if (isSigned)
                signedValue = va_arg(Args, long);
            else
                unsignedValue = va_arg(Args, unsigned long);
        } else {
            if (isSigned)
                signedValue = va_arg(Args, int);
            else
                unsignedValue = va_arg(Args, unsigned int);
        }
        if (isSigned) {
            negative = signedValue < 0;
            magnitude =
                negative ? 0 - static_cast<uint64_t>(signedValue) : static_cast<uint64_t>(signedValue);
        } else {
            negative = false;
            magnitude = unsignedValue;
        }
    }
    const char* Text() override { return va_arg(Args, const char*); }

  private:
    va_list& Args;
};

class TFixedNumberSource : public TFormatSource {
  public:
    explicit TFixedNumberSource(int64_t value) : Value(value) {}
    void Number(const TFormatSpec& field, bool& negative, uint64_t& magnitude) override {
        const bool isSigned = field.Conversion == 'd' || field.Conversion == 'i';
        negative = isSigned && Value < 0;
        if (negative) {
            magnitude = 0 - static_cast<uint64_t>(Value);
        } else if (isSigned || field.LongCount == 2) {
            magnitude = static_cast<uint64_t>(Value);
        } else {
            // Without "ll" an unsigned placeholder shows the 32-bit pattern, as "%x" of an int does.
            magnitude = static_cast<uint32_t>(Value);
        }
    }
    const char* Text() override { return ""; }

  private:
    int64_t Value;
};

std::string FormatWith(const char* format, TFormatSource& source) {
    std::string out;
    if (!format) return out;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* placeholder = p++;
        TFormatSpec field;
        if (!ParseFormatSpec(p, field)) {
            out += *placeholder;
            continue;
        }
        switch (field.Conversion) {
        case '%':
            out += '%';
            break;
        case 's': {
            const char* text = source.Text();
            std::string body = text ? text : "";
            if (field.Precision >= 0 && body.size() > static_cast<size_t>(field.Precision))
                body.resize(field.Precision);
            AppendPadded(out, body, field);
            break;
        }
        case 'c': {
            bool negative = false;
            uint64_t magnitude = 0;
            source.Number(field, negative, magnitude);
            uint64_t byte = negative ? 0 - magnitude : magnitude;
            AppendPadded(out, std::string(1, static_cast<char>(byte & 0xFF)), field);
            break;
        }
        default: {
            bool negative = false;
            uint64_t magnitude = 0;
            source.Number(field, negative, magnitude);
            AppendNumber(out, negative, magnitude, field);
            break;
        }
        }
    }
    return out;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    TVarArgSource source(args);
    std::string result = FormatWith(format, source);
    va_end(args);
    return result;
}

std::string FormatNumber(const char* format, int64_t value) {
    TFixedNumberSource source(value);
    return FormatWith(format, source);
}

std::string FormatNonZero(uint32_t value, const char* format) {
    if (value == 0) return std::string();
    // A handle or a count given as 32 bits: "%d" shows it signed, "%x" as the bit pattern.
    return FormatNumber(format, static_cast<int32_t>(value));
}

std::string VersionTextNumeric(uint32_t packed) {
    return FormatText("%.2d.%.2d.%.2d", static_cast<int>((packed >> 16) & 0xFF),
                      static_cast<int>((packed >> 8) & 0xFF), static_cast<int>(packed & 0xFF));
}

bool VersionDate(uint32_t packed, int& year, int& month, int& day) {
    const int y = 2000 + static_cast<int>((packed >> 16) & 0xFF);
    const int m = static_cast<int>((packed >> 8) & 0xFF);
    const int d = static_cast<int>(packed & 0xFF);
    static const int daysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1) return false;
    const int last = daysInMonth[m - 1] + (m == 2 && IsLeapYear(y) ? 1 : 0);
    if (d > last) return false;
    year = y;
    month = m;
    day = d;
    return true;
}

void UpperCaseAscii(std::string& text) {
    for (char& ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z') ch = static_cast<char>(c - 32);
    }
}

bool IsWordLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80;
}

int FindText(std::string_view text, std::string_view pattern, int start, bool caseSensitive, bool wholeWord,
             TUpperCaser upperCase) {
    const size_t length = text.size();
    if (text.empty() || pattern.empty() || length < pattern.size() || start <= 0 ||
        static_cast<size_t>(start) > length)
        return 0;
    std::string subject(text);
    std::string wanted(pattern);
    if (!caseSensitive && upperCase) {
        upperCase(subject);
        upperCase(wanted);
        // An upper-casing that changed a length would break the positions; fall back to the plain bytes.
        if (subject.size() != length || wanted.size() != pattern.size()) {
            subject = std::string(text);
            wanted = std::string(pattern);
        }
    }
    const size_t last = length - wanted.size();
    for (size_t p = static_cast<size_t>(start) - 1; p <= last; ++p) {
        if (subject.compare(p, wanted.size(), wanted) != 0) continue;
        if (wholeWord) {
            if (p > 0 && IsWordLetter(static_cast<unsigned char>(subject[p - 1]))) continue;
            const size_t after = p + wanted.size();
            if (after < length && IsWordLetter(static_cast<unsigned char>(subject[after]))) continue;
        }
        return static_cast<int>(p + 1);
    }
    return 0;
}

TCharSet MakeCharSet(std::string_view members) {
    TCharSet set;
    for (char c : members)
        set.set(static_cast<unsigned char>(c));
    return set;
}

std::string RemoveChars(std::string_view text, const TCharSet& set, int start) {
    std::string result;
    const size_t first = start > 1 ? static_cast<size_t>(start) - 1 : 0;
    for (size_t i = first; i < text.size(); ++i)
        if (!set.test(static_cast<unsigned char>(text[i]))) result += text[i];
    return result;
}

int32_t ScaleCoordinate(int32_t value, int32_t multiplier, int32_t divisor) {
    if (divisor == 0) return value;
    // The product wraps like the 32-bit multiply it replaces; done on unsigned values to stay defined.
    const int32_t product =
        static_cast<int32_t>(static_cast<uint32_t>(value) * static_cast<uint32_t>(multiplier));
    // Quotient in 64 bits: INT32_MIN / -1 would trap in 32; the wrapped result is what 32 bits would hold.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(product) / divisor));
}

TIntRect ScaleRect(const TIntRect& rect, int32_t multiplier, int32_t divisor) {
    return {ScaleCoordinate(rect.Left, multiplier, divisor), ScaleCoordinate(rect.Top, multiplier, divisor),
            ScaleCoordinate(rect.Right, multiplier, divisor),
            ScaleCoordinate(rect.Bottom, multiplier, divisor)};
}

uint32_t BlendColor(uint32_t a, uint32_t b, int32_t t) {
    t = Clamp(t, 0, 255);
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int32_t from = static_cast<int32_t>((a >> shift) & 0xFF);
        const int32_t to = static_cast<int32_t>((b >> shift) & 0xFF);
        const int32_t mixed = from + (to - from) * t / 255;
        result |= static_cast<uint32_t>(mixed) << shift;
    }
    return result;
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t divisor = c;
    int64_t quotient = product / divisor;
    const int64_t remainder = product % divisor;
    const uint64_t twice =
        2 * (remainder < 0 ? 0 - static_cast<uint64_t>(remainder) : static_cast<uint64_t>(remainder));
    const uint64_t absDivisor =
        divisor < 0 ? 0 - static_cast<uint64_t>(divisor) : static_cast<uint64_t>(divisor);
    if (twice >= absDivisor) quotient += ((product < 0) != (divisor < 0)) ? -1 : 1;
    if (quotient > INT32_MAX || quotient < INT32_MIN) return -1;
    return static_cast<int32_t>(quotient);
}

namespace {

bool IsFontSeparator(char c) {
    return c == '\t' || c == ' ' || c == ',' || c == ';';
}

std::string_view TrimControl(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

void ApplyFontToken(std::string_view token, int32_t dpi, TFontSpec& field) {
    const char first = token.front();
    if (token.size() <= 4 && (first == 'b' || first == 'i' || first == 's' || first == 'u')) {
        for (char c : token) {
            if (c == 'b')
                field.Weight = 700;
            else if (c == 'i')
                field.Italic = true;
            else if (c == 's')
                field.StrikeOut = true;
            else if (c == 'u')
                field.Underline = true;
        }
    } else if (first == '-' || (first >= '0' && first <= '9')) {
        const int32_t points = IntFromText(token, 8);
        // Negated in 64 bits: a size that scales to the most negative height has no positive twin.
        const int64_t height = -static_cast<int64_t>(MulDivRound(points, dpi, 72));
        field.Height = static_cast<int32_t>(height > INT32_MAX ? INT32_MAX : height);
    } else {
        field.FaceName = std::string(token.substr(0, TFontSpec::MaxFaceLength));
    }
}

} // namespace

TFontSpec ParseFontText(std::string_view text, int32_t baseHeight, std::string_view baseFace, int32_t dpi) {
    TFontSpec field;
    field.Height = baseHeight;
    field.FaceName = std::string(baseFace.substr(0, TFontSpec::MaxFaceLength));
    size_t i = 0;
    while (i < text.size()) {
        if (IsFontSeparator(text[i])) {
            ++i;
            continue;
        }
        std::string_view token;
        if (text[i] == '"') {
            const size_t close = text.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? text.size() : close;
            token = text.substr(i + 1, end - i - 1);
            i = close == std::string_view::npos ? text.size() : close + 1;
        } else {
            size_t end = i;
            while (end < text.size() && !IsFontSeparator(text[end]))
                ++end;
            token = text.substr(i, end - i);
            i = end;
        }
        token = TrimControl(token);
        if (!token.empty()) ApplyFontToken(token, dpi, field);
    }
    return field;
}
