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

// The settings file that belongs to an executable: its path with the extension replaced by ".ini" (added
// when it has none; dots in folder names are not extensions). Any length: paths may exceed MAX_PATH.
std::string SettingsFileNameFor(const std::string& executablePath);

// Whole-file helpers. A save writes a temporary file beside the target and then replaces the target in one
// step, so a failed write never leaves a truncated settings file.
enum class TFileRead { Missing, Complete, Failed };
// Missing only when nothing exists under the name; a file that exists but cannot be read to its end is
// Failed, and bytes then hold whatever was read.
TFileRead ReadWholeFile(const std::string& fileName, std::string& bytes);
bool ReadFileBytes(const std::string& fileName, std::string& bytes); // true only for a complete read
bool ReplaceFileContents(const std::string& fileName, const std::string& bytes);
// The temporary file that this process's save writes before it replaces fileName: the process id in its
// name keeps two running copies from writing into one temporary.
std::string TemporaryFileName(const std::string& fileName);
// The one temporary name that every copy of earlier versions used; an interrupted save may have left it.
std::string EarlierTemporaryFileName(const std::string& fileName);

// Carries what the platform keeps about a file besides its bytes from the old file to its replacement, so
// that a save does not silently change them. The portable default copies the permissions; the Windows
// layer installs one that copies the file attributes (hidden, system, ...) too.
using TFileAttributeKeeper = bool (*)(const std::string& from, const std::string& to);
bool KeepPermissions(const std::string& from, const std::string& to);
void SetFileAttributeKeeper(TFileAttributeKeeper keeper);
