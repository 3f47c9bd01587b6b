// The INI settings text and its file access.
#include "config/IniFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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
    if (value.size() > TIniText::MaxValueLength) value.resize(TIniText::MaxValueLength);
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
    while (i < Lines.size() && !SectionName(Lines[i].Text, name)) ++i;
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
        while (insert > header + 1 && TrimBlanks(Lines[static_cast<size_t>(insert - 1)].Text).empty()) --insert;
        if (Lines[static_cast<size_t>(insert - 1)].Ending.empty()) Lines[static_cast<size_t>(insert - 1)].Ending = NewLine;
        Lines.insert(Lines.begin() + insert, TLine{key + "=" + value, NewLine});
        return;
    }
    if (!Lines.empty() && Lines.back().Ending.empty()) Lines.back().Ending = NewLine;
    Lines.push_back(TLine{"[" + section + "]", NewLine});
    Lines.push_back(TLine{key + "=" + value, NewLine});
}

std::string TIniText::Bytes() const {
    std::string bytes;
    for (const TLine& line : Lines) bytes += line.Text + line.Ending;
    return bytes;
}

bool ReadFileBytes(const std::string& fileName, std::string& bytes) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return false;
    // A read error (a folder of that name, a failing disk) throws from inside the stream buffer even with
    // stream exceptions off; it is a failed read, not a reason to end the program.
    try {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        bytes.clear();
        return false;
    }
    return !file.bad();
}

bool ReplaceFileContents(const std::string& fileName, const std::string& bytes) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target(fileName);
    fs::file_status status = fs::status(target, error);
    // A read-only settings file is the user's choice: leave it as it is.
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;

    const fs::path temporary(fileName + ".tmp");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}
