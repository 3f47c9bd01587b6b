// The INI settings text: reads and rewrites keys the way the platform's profile functions do, keeping every
// line it does not change byte for byte.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TIniText {
public:
    static constexpr size_t MaxValueLength = 255;

    TIniText() = default;
    explicit TIniText(const std::string& bytes);

    // The value of the first matching key in the first matching section (names without case), trimmed,
    // stripped of one enclosing pair of quotes and cut to MaxValueLength; nothing when absent.
    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    // Replaces a present key in place, adds a missing key to its section, a missing section at the end.
    void Write(const std::string& section, const std::string& key, const std::string& value);
    std::string Bytes() const;

private:
    struct TLine {
        std::string Text;
        std::string Ending;
    };
    std::vector<TLine> Lines;

    int FindSection(const std::string& section) const;
    int SectionEnd(int header) const;
    int FindKey(int header, const std::string& key) const;
};

// Whole-file helpers. A save writes a temporary file beside the target and then replaces the target in one
// step, so a failed write never leaves a truncated settings file.
bool ReadFileBytes(const std::string& fileName, std::string& bytes);
bool ReplaceFileContents(const std::string& fileName, const std::string& bytes);
