// The INI settings text and its file access.
#include "config/IniFile.h"

#include "app/Utf8Text.h"
#include "config/DurableFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool SectionName(const std::string& line, std::string& name) {
    std::string text = TrimBlanks(line);
    if (text.empty() || text[0] != '[') return false;
    size_t close = text.find(']');
    name = TrimBlanks(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool KeyAndValue(const std::string& line, std::string& key, std::string& value) {
    std::string text = TrimBlanks(line);
    if (text.empty() || text[0] == ';') return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    key = TrimBlanks(text.substr(0, equals));
    value = text.substr(equals + 1);
    return !key.empty();
}

std::string CleanValue(const std::string& raw) {
    std::string value = TrimBlanks(raw.substr(0, raw.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > TIniText::MaxValueLength) value = Utf8Cut(value, TIniText::MaxValueLength);
    return value;
}

const char* const NewLine = "\r\n";
const char Utf8Bom[] = "\xEF\xBB\xBF";

} // namespace

TIniText::TIniText(const std::string& bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t lf = bytes.find('\n', pos);
        TLine line;
        if (lf == std::string::npos) {
            line.Text = bytes.substr(pos);
            pos = bytes.size();
        } else {
            size_t end = lf;
            if (end > pos && bytes[end - 1] == '\r') --end;
            line.Text = bytes.substr(pos, end - pos);
            line.Ending = bytes.substr(end, lf + 1 - end);
            pos = lf + 1;
        }
        Lines.push_back(std::move(line));
    }
}

int TIniText::FindSection(const std::string& section) const {
    for (size_t i = 0; i < Lines.size(); ++i) {
        std::string text = Lines[i].Text;
        // A byte-order mark at the very start belongs to the file, not to the first section's name.
        if (i == 0 && text.compare(0, 3, Utf8Bom) == 0) text.erase(0, 3);
        std::string name;
        if (SectionName(text, name) && SameName(name, section)) return static_cast<int>(i);
    }
    return -1;
}

int TIniText::SectionEnd(int header) const {
    size_t i = static_cast<size_t>(header) + 1;
    std::string name;
    while (i < Lines.size() && !SectionName(Lines[i].Text, name))
        ++i;
    return static_cast<int>(i);
}

int TIniText::FindKey(int header, const std::string& key) const {
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        std::string name, value;
        if (KeyAndValue(Lines[static_cast<size_t>(i)].Text, name, value) && SameName(name, key)) return i;
    }
    return -1;
}

std::optional<std::string> TIniText::Read(const std::string& section, const std::string& key) const {
    int header = FindSection(section);
    if (header < 0) return std::nullopt;
    int line = FindKey(header, key);
    if (line < 0) return std::nullopt;
    std::string name, value;
    KeyAndValue(Lines[static_cast<size_t>(line)].Text, name, value);
    return CleanValue(value);
}

void TIniText::Write(const std::string& section, const std::string& key, const std::string& value) {
    int header = FindSection(section);
    if (header >= 0) {
        int line = FindKey(header, key);
        if (line >= 0) {
            std::string name, old;
            KeyAndValue(Lines[static_cast<size_t>(line)].Text, name, old);
            Lines[static_cast<size_t>(line)].Text = name + "=" + value;
            return;
        }
        // New keys go after the section's last non-blank line, so blank separators stay between sections.
        int insert = SectionEnd(header);
        while (insert > header + 1 && TrimBlanks(Lines[static_cast<size_t>(insert - 1)].Text).empty())
            --insert;
        if (Lines[static_cast<size_t>(insert - 1)].Ending.empty())
            Lines[static_cast<size_t>(insert - 1)].Ending = NewLine;
        Lines.insert(Lines.begin() + insert, TLine{key + "=" + value, NewLine});
        return;
    }
    if (!Lines.empty() && Lines.back().Ending.empty()) Lines.back().Ending = NewLine;
    Lines.push_back(TLine{"[" + section + "]", NewLine});
    Lines.push_back(TLine{key + "=" + value, NewLine});
}

std::string TIniText::Bytes() const {
    std::string bytes;
    for (const TLine& line : Lines)
        bytes += line.Text + line.Ending;
    return bytes;
}

std::string SettingsFileNameFor(const std::string& executablePath) {
    std::string name = executablePath;
    size_t dot = name.find_last_of('.');
    size_t slash = name.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
    return name + ".ini";
}

namespace {
TFileAttributeKeeper AttributeKeeper = KeepPermissions;

// Our file names are UTF-8; a plain path would read them in the runtime library's "C" locale instead.
std::filesystem::path FilePath(const std::string& fileName) {
    return std::filesystem::u8path(fileName);
}
} // namespace

TFileRead ReadWholeFile(const std::string& fileName, std::string& bytes) {
    namespace fs = std::filesystem;
    bytes.clear();
    std::error_code error;
    fs::file_status status = fs::status(FilePath(fileName), error);
    if (status.type() == fs::file_type::not_found) return TFileRead::Missing;
    std::ifstream file(FilePath(fileName), std::ios::binary);
    if (!file) return TFileRead::Failed;
    // A read error (a folder of that name, a failing disk) throws from inside the stream buffer even with
    // stream exceptions off; it is a failed read, not a reason to end the program.
    try {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return TFileRead::Failed;
    }
    return file.bad() ? TFileRead::Failed : TFileRead::Complete;
}

bool ReadFileBytes(const std::string& fileName, std::string& bytes) {
    if (ReadWholeFile(fileName, bytes) == TFileRead::Complete) return true;
    bytes.clear();
    return false;
}

std::string TemporaryFileName(const std::string& fileName) {
    return fileName + "." + std::to_string(CurrentProcessId()) + ".tmp";
}

std::string EarlierTemporaryFileName(const std::string& fileName) {
    return fileName + ".tmp";
}

bool KeepPermissions(const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::file_status status = fs::status(FilePath(from), error);
    if (error) return false;
    fs::permissions(FilePath(to), status.permissions(), fs::perm_options::replace, error);
    return !error;
}

void SetFileAttributeKeeper(TFileAttributeKeeper keeper) {
    AttributeKeeper = keeper ? keeper : KeepPermissions;
}

bool ReplaceFileContents(const std::string& fileName, const std::string& bytes) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = FilePath(fileName);
    fs::file_status status = fs::status(target, error);
    const bool replacing = fs::exists(status);
    // A read-only settings file is the user's choice: leave it as it is.
    if (replacing && (status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;

    const fs::path temporary = FilePath(TemporaryFileName(fileName));
    // Left behind by a save that was interrupted: it is ours, and a read-only one would block this save.
    // The name of earlier versions was the same for every copy; none of them runs beside us any more.
    fs::remove(temporary, error);
    fs::remove(FilePath(EarlierTemporaryFileName(fileName)), error);
    // On the disk before the rename: otherwise a crash soon after can leave the new name on empty blocks.
    if (!WriteFileDurably(temporary, bytes)) {
        fs::remove(temporary, error);
        return false;
    }
    // The replacement takes the old file's attributes before it takes its place; the keeper's result does
    // not stop the save, since the old file's contents are kept in the new one either way.
    if (replacing) AttributeKeeper(fileName, temporary.u8string());
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}
