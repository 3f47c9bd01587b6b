// A small reader of comma-separated text: comment lines, a header line, then rows of fields.
#pragma once

#include <string>
#include <vector>

using TStrArray = std::vector<std::string>;

class TCsvFile {
  public:
    TCsvFile(char separator, char commentChar);

    // False, leaving the table as it was, when the file is missing, empty or cannot be read. The file is
    // opened for reading only and stays open to other readers and writers.
    bool LoadFromFile(const std::string& fileName);
    // Clears the table and parses the text; a zero byte ends it.
    void LoadFromText(const std::string& text);
    int RowCount() const { return static_cast<int>(Rows.size()); }
    // The field, or the empty text for any row or column that does not exist.
    std::string GetCell(int row, int column) const;
    void Clear();

    // One line split into fields by the separator, quoted stretches kept whole, outer quotes removed.
    TStrArray ParseLine(const std::string& line) const;

    char Separator;
    char CommentChar;
    TStrArray Header;
    std::vector<TStrArray> Rows;

  private:
    std::vector<std::string> Lines;

    void SplitLines(const std::string& text);
};
