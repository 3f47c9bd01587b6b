// Pattern compile and match: the first byte picks the case folding, the pattern runs to the first line
// feed and the subject is the rest, held in a block of exactly its size.
#include "FuzzCheck.h"
#include "messages/RegExSimple.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool ignoreCase = (data[0] & 1) != 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = rest.find('\n');
    const std::string pattern = rest.substr(0, split);
    const std::string subjectText = split == std::string::npos ? std::string() : rest.substr(split + 1);

    std::unique_ptr<char[]> subject(new char[subjectText.size() + 1]);
    std::memcpy(subject.get(), subjectText.c_str(), subjectText.size() + 1);
    const int length = static_cast<int>(std::strlen(subject.get()));
    try {
        TRegExSimple regex(pattern, ignoreCase);
        std::string matched;
        int endPos = 0;
        const int position = regex.Match(subject.get(), &matched, &endPos);
        FUZZ_CHECK(position == -1 || (position >= 1 && position <= length + 1));
        if (position > 0) {
            FUZZ_CHECK(endPos - position + 1 == static_cast<int>(matched.size()));
            FUZZ_CHECK(std::memcmp(subject.get() + position - 1, matched.data(), matched.size()) == 0);
        } else {
            FUZZ_CHECK(matched.empty() && regex.Captures().empty());
        }
        // The short form gives the same answer, and so does a recompilation after another pattern.
        FUZZ_CHECK(regex.Match(subject.get()) == position);
        regex.SetPattern(subjectText);
        regex.SetPattern(pattern);
        FUZZ_CHECK(regex.Match(subject.get()) == position);
    } catch (const std::runtime_error& error) {
        FUZZ_CHECK(std::strncmp(error.what(), "RegExSegment: ", 14) == 0);
    }
    return 0;
}
