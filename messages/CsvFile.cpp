// The CSV reader.
#include "messages/CsvFile.h"

#include "config/IniFile.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

TCsvFile::TCsvFile(char separator, char commentChar) : Separator(separator), CommentChar(commentChar) {}

bool TCsvFile::LoadFromFile(const std::string& fileName) {
    // The standard library's file streams open for reading with sharing allowed on Windows, so another
    // program may keep the table open for writing meanwhile.
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes) || bytes.empty()) return false;
    LoadFromText(bytes);
    return true;
}

void TCsvFile::SplitLines(const std::string& text) {
    Lines.clear();
    const size_t end = text.find('\0') == std::string::npos ? text.size() : text.find('\0');
    size_t start = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        Lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < end) Lines.push_back(text.substr(start, end - start));
}

void TCsvFile::LoadFromText(const std::string& text) {
    Clear();
    SplitLines(text);
    for (const std::string& raw : Lines) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == CommentChar) continue;
        if (Header.empty())
            Header = ParseLine(line);
        else
            Rows.push_back(ParseLine(line));
    }
    Lines.clear();
}

TStrArray TCsvFile::ParseLine(const std::string& line) const {
    TStrArray fields;
    fields.reserve(4);
    const size_t length = line.size();
    size_t start = 0;
    for (;;) {
        size_t i = start;
        while (i < length && line[i] != Separator) {
            if (line[i] == '"') {
                // A quoted stretch: separators inside it do not end the field; unclosed, it runs to the end.
                const size_t close = line.find('"', i + 1);
                i = close == std::string::npos ? length : close + 1;
            } else {
                ++i;
            }
        }
        std::string field = Trim(line.substr(start, i - start));
        if (!field.empty() && field.front() == '"' && field.back() == '"')
            field = field.size() >= 2 ? field.substr(1, field.size() - 2) : std::string();
        if (fields.size() == fields.capacity()) fields.reserve(fields.size() + 4);
        fields.push_back(std::move(field));
        if (i >= length) break;
        start = i + 1;
        if (start >= length) break; // a trailing separator adds no empty last field
    }
    fields.shrink_to_fit();
    return fields;
}

std::string TCsvFile::GetCell(int row, int column) const {
    if (row < 0 || column < 0 || static_cast<size_t>(row) >= Rows.size()) return std::string();
    const TStrArray& fields = Rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= fields.size()) return std::string();
    return fields[static_cast<size_t>(column)];
}

void TCsvFile::Clear() {
    Header.clear();
    Rows.clear();
}
