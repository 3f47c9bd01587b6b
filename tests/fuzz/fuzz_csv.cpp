// CSV parsing: the first byte is the separator, the second the comment character, the rest the text.
#include "FuzzCheck.h"
#include "messages/CsvFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    TCsvFile csv(static_cast<char>(data[0]), static_cast<char>(data[1]));
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    csv.LoadFromText(text);
    FUZZ_CHECK(csv.RowCount() == static_cast<int>(csv.Rows.size()));
    FUZZ_CHECK(csv.Rows.empty() || !csv.Header.empty());
    for (int row = 0; row < csv.RowCount(); ++row) {
        const TStrArray& fields = csv.Rows[static_cast<size_t>(row)];
        FUZZ_CHECK(!fields.empty());
        for (size_t column = 0; column < fields.size(); ++column)
            FUZZ_CHECK(csv.GetCell(row, static_cast<int>(column)) == fields[column]);
        FUZZ_CHECK(csv.GetCell(row, static_cast<int>(fields.size())).empty());
    }
    FUZZ_CHECK(csv.GetCell(csv.RowCount(), 0).empty() && csv.GetCell(-1, -1).empty());
    return 0;
}
