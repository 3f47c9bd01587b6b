// Typed configuration variables, their registry and the INI store.
#include "config/EasyConfig.h"

#include "app/QrLib.h"
#include "config/IniFile.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool EqualsIgnoringAsciiCase(const std::string& text, const char* word) {
    size_t length = std::strlen(word);
    if (text.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

std::string StripTrailingZeros(std::string digits) {
    if (digits.find('.') == std::string::npos) return digits;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (!digits.empty() && digits.back() == '.') digits.pop_back();
    return digits;
}

// General format with 18 significant digits: fixed while at most 18 integer digits and a magnitude of at
// least 0.00001, scientific otherwise; trailing zeros dropped, all lower case.
std::string FormatGeneral18(long double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.17Le", value);
    // Near the top of the range, 18 digits can round up past the largest value, and that text would read
    // as out of range: such a value is written with the digits that identify it exactly.
    if (std::isinf(std::strtold(buffer, nullptr))) std::snprintf(buffer, sizeof buffer, "%.20Le", value);
    const char* exponentMark = std::strchr(buffer, 'e');
    if (!exponentMark) return buffer;
    int exponent = std::atoi(exponentMark + 1);
    if (exponent >= 18 || exponent < -5) {
        std::string mantissa =
            StripTrailingZeros(std::string(buffer, static_cast<size_t>(exponentMark - buffer)));
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%+d", exponent);
        return mantissa + tail;
    }
    std::snprintf(buffer, sizeof buffer, "%.*Lf", 17 - exponent, value);
    return StripTrailingZeros(buffer);
}

bool ParseFloat(const std::string& text, char separator, long double& value) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return false;
    std::string number = text.substr(first, last - first + 1);
    // Only plain decimal notation: strtold would also take hexadecimal, "inf" and "nan".
    for (char& c : number) {
        if (c == separator)
            c = '.';
        else if (c == '.' || !(std::strchr("0123456789+-eE", c)))
            return false;
    }
    char* end = nullptr;
    long double parsed = std::strtold(number.c_str(), &end);
    if (end == number.c_str() || *end != '\0') return false;
    // Beyond the type's range ("1e5000") the reader gives infinity, which no text of ours reads back.
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

} // namespace

TConfigVar::TConfigVar(TEasyConfig& config, const std::string& nameSpace, const std::string& name)
    : Config(config), Namespace(nameSpace), Name(name) {}

void TConfigVar::Changed() {
    if (Config.Loading) return;
    Modified = true;
    if (Config.OnChange) Config.OnChange(*this);
}

// Boolean

TConfigVarBool::TConfigVarBool(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                               bool defaultValue)
    : TConfigVar(config, nameSpace, name), Value(defaultValue), Default(defaultValue) {}

TConfigVarBool& TConfigVarBool::Create(TEasyConfig* config, const std::string& nameSpace,
                                       const std::string& name, bool defaultValue) {
    return Declare<TConfigVarBool>(config, nameSpace, name, defaultValue);
}

TConfigVarBool& TConfigVarBool::Get(TEasyConfig* config, const std::string& nameSpace,
                                    const std::string& name, bool defaultValue) {
    return FindOrDeclare<TConfigVarBool>(config, nameSpace, name, defaultValue);
}

void TConfigVarBool::SetValue(bool value) {
    Value = value;
    Changed();
}

void TConfigVarBool::SetValueData(const void* data) {
    SetValue(*static_cast<const unsigned char*>(data) != 0);
}

std::string TConfigVarBool::AsText() const {
    return Value ? "true" : "false";
}

void TConfigVarBool::SetAsText(const std::string& text) {
    SetValue(text == "1" || EqualsIgnoringAsciiCase(text, "true"));
}

// Integer

TConfigVarInt::TConfigVarInt(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                             int32_t defaultValue)
    : TConfigVar(config, nameSpace, name), Value(defaultValue), Default(defaultValue) {}

TConfigVarInt& TConfigVarInt::Create(TEasyConfig* config, const std::string& nameSpace,
                                     const std::string& name, int32_t defaultValue) {
    return Declare<TConfigVarInt>(config, nameSpace, name, defaultValue);
}

TConfigVarInt& TConfigVarInt::Get(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                  int32_t defaultValue) {
    return FindOrDeclare<TConfigVarInt>(config, nameSpace, name, defaultValue);
}

void TConfigVarInt::SetValue(int32_t value) {
    if (value < Min) value = Min;
    if (value > Max) value = Max;
    Value = value;
    Changed();
}

void TConfigVarInt::SetValueData(const void* data) {
    int32_t value;
    std::memcpy(&value, data, sizeof value);
    SetValue(value);
}

std::string TConfigVarInt::AsText() const {
    char buffer[16];
    if (Hex)
        std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(static_cast<uint32_t>(Value)));
    else
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(Value));
    return buffer;
}

// Text comes from the settings file or the user: a number beyond the bounds is as wrong as no number.
void TConfigVarInt::SetAsText(const std::string& text) {
    int32_t value = IntFromText(text, Value);
    SetValue(value < Min || value > Max ? Value : value);
}

// Float

TConfigVarFloat::TConfigVarFloat(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                                 long double defaultValue)
    : TConfigVar(config, nameSpace, name), Value(defaultValue), Default(defaultValue) {}

TConfigVarFloat& TConfigVarFloat::Create(TEasyConfig* config, const std::string& nameSpace,
                                         const std::string& name, long double defaultValue) {
    return Declare<TConfigVarFloat>(config, nameSpace, name, defaultValue);
}

void TConfigVarFloat::SetValue(long double value) {
    Value = value;
    Changed();
}

// Ten bytes where long double is the x87 extended type; its own size where the compiler maps it to double.
int TConfigVarFloat::ValueSize() const {
    return LDBL_MANT_DIG == 64 ? 10 : static_cast<int>(sizeof(long double));
}

void TConfigVarFloat::SetValueData(const void* data) {
    long double value = 0;
    std::memcpy(&value, data, static_cast<size_t>(ValueSize()));
    SetValue(value);
}

std::string TConfigVarFloat::AsText() const {
    std::string text = FormatGeneral18(Value);
    for (char& c : text)
        if (c == '.') c = Config.DecimalSeparator;
    return text;
}

void TConfigVarFloat::SetAsText(const std::string& text) {
    long double value = Value;
    ParseFloat(text, Config.DecimalSeparator, value);
    SetValue(value);
}

// String

TConfigVarStr::TConfigVarStr(TEasyConfig& config, const std::string& nameSpace, const std::string& name,
                             const std::string& defaultValue)
    : TConfigVar(config, nameSpace, name), Value(defaultValue), Default(defaultValue) {}

TConfigVarStr& TConfigVarStr::Create(TEasyConfig* config, const std::string& nameSpace,
                                     const std::string& name, const std::string& defaultValue) {
    return Declare<TConfigVarStr>(config, nameSpace, name, defaultValue);
}

TConfigVarStr& TConfigVarStr::Get(TEasyConfig* config, const std::string& nameSpace, const std::string& name,
                                  const std::string& defaultValue) {
    return FindOrDeclare<TConfigVarStr>(config, nameSpace, name, defaultValue);
}

void TConfigVarStr::SetValue(const std::string& value) {
    Value = value;
    Changed();
}

void TConfigVarStr::SetValueData(const void* data) {
    SetValue(static_cast<const char*>(data));
}

// Registry

TConfigVar* TEasyConfig::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Variables[static_cast<size_t>(index)].get();
}

void TEasyConfig::Add(std::unique_ptr<TConfigVar> variable) {
    TConfigVar& added = *variable;
    Variables.push_back(std::move(variable));
    if (AutoLoad) LoadVariable(added);
}

int TEasyConfig::IndexOf(const std::string& fullName) const {
    for (int i = 0; i < Count(); ++i)
        if (Variables[static_cast<size_t>(i)]->FullName() == fullName) return i;
    return -1;
}

void TEasyConfig::NotifyAll(bool onlyModified) {
    if (!OnChange) return;
    // By index: a listener may declare further variables while we walk.
    for (int i = 0; i < Count(); ++i) {
        TConfigVar& variable = *Variables[static_cast<size_t>(i)];
        if (!onlyModified || variable.Modified) OnChange(variable);
    }
}

void TEasyConfig::Load() {
    Loading = true;
    for (int i = 0; i < Count(); ++i)
        LoadVariable(*Variables[static_cast<size_t>(i)]);
    Loading = false;
    NotifyAll(false);
}

// INI store

void TEasyConfigIni::Load() {
    std::string bytes;
    ReadFileBytes(FileName, bytes);
    const TIniText ini(bytes);
    Loading = true;
    for (int i = 0; i < Count(); ++i)
        LoadFrom(ini, *Item(i));
    Loading = false;
    NotifyAll(false);
}

void TEasyConfigIni::LoadVariable(TConfigVar& variable) {
    if (!variable.Stored) return;
    std::string bytes;
    ReadFileBytes(FileName, bytes);
    LoadFrom(TIniText(bytes), variable);
}

void TEasyConfigIni::LoadFrom(const TIniText& ini, TConfigVar& variable) {
    if (!variable.Stored) return;
    std::optional<std::string> text = ini.Read(variable.Namespace, variable.Name);
    // The platform reader answers an absent key with the default we ask for: a lone ESC. A stored value
    // of exactly ESC is therefore absent too.
    if (!text || *text == "\x1B")
        variable.Reset();
    else
        variable.SetAsText(*text);
}

void TEasyConfigIni::Save(bool clearModified) {
    std::string bytes;
    TFileRead read = ReadSettings(bytes);
    // A file that exists but could not be read completely must not be replaced by what little we know of
    // it: every other section, key and comment would be lost. Like any writing error, this is ignored.
    if (read == TFileRead::Failed) {
        RemoveStaleTemporary();
        return;
    }
    const bool haveFile = read == TFileRead::Complete;
    TIniText ini(bytes);
    bool written = false;
    for (int i = 0; i < Count(); ++i) {
        TConfigVar& variable = *Item(i);
        if (!variable.Stored) continue;
        if (SaveModifiedOnly && !variable.Modified) continue;
        std::string text = variable.AsText();
        if (!text.empty() &&
            (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'))
            text = "\"" + text + "\"";
        ini.Write(variable.Namespace, variable.Name, text);
        written = true;
        if (clearModified) variable.Modified = false;
    }
    std::string newBytes = ini.Bytes();
    if (!written || (haveFile && newBytes == bytes)) {
        RemoveStaleTemporary();
        return;
    }
    ReplaceSettings(newBytes);
}

TFileRead TEasyConfigIni::ReadSettings(std::string& bytes) const {
    return ReadWholeFile(FileName, bytes);
}

bool TEasyConfigIni::ReplaceSettings(const std::string& bytes) const {
    return ReplaceFileContents(FileName, bytes);
}

void TEasyConfigIni::RemoveStaleTemporary() const {
    std::error_code error;
    std::filesystem::remove(std::filesystem::u8path(TemporaryFileName(FileName)), error);
    std::filesystem::remove(std::filesystem::u8path(EarlierTemporaryFileName(FileName)), error);
}
