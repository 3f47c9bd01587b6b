// INI text: parse arbitrary bytes, read and write a key named by the input, and check that what was
// written reads back, also after the text is turned into bytes and parsed again.
#include "FuzzCheck.h"
#include "config/IniFile.h"

#include <cstdint>
#include <string>

namespace {

// Names and values the program itself writes: lower-case letters, digits and underscores.
std::string PlainText(const uint8_t* data, size_t size, const char* fallback) {
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>('a' + data[i] % 26);
        text += (data[i] % 7 == 0) ? '_' : c;
    }
    return text.empty() ? fallback : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t nameBytes = size < 6 ? size : 6;
    const std::string section = PlainText(data, nameBytes / 2, "system");
    const std::string key = PlainText(data + nameBytes / 2, nameBytes - nameBytes / 2, "font");
    const std::string bytes(reinterpret_cast<const char*>(data + nameBytes), size - nameBytes);

    TIniText ini(bytes);
    const std::optional<std::string> before = ini.Read(section, key);
    if (before) FUZZ_CHECK(before->size() <= TIniText::MaxValueLength);
    FUZZ_CHECK(ini.Bytes() == bytes); // nothing changes until something is written

    const std::string value = "v" + std::to_string(size);
    ini.Write(section, key, value);
    FUZZ_CHECK(ini.Read(section, key) == value);
    const TIniText again(ini.Bytes());
    FUZZ_CHECK(again.Read(section, key) == value);
    FUZZ_CHECK(again.Bytes() == ini.Bytes());
    return 0;
}
