// What a log shows of its records: the message names, the texts of each column, the decoded details, the
// include and exclude filters over the names, and the recorded and shown rows.
#pragma once

#include "messages/RegExSimple.h"
#include "msglog/ChunkedArray.h"
#include "msglog/LogRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCsvFile;

enum TLogColumn {
    lcolNumber,
    lcolTime,
    lcolKind,
    lcolHandle,
    lcolMessage,
    lcolWParam,
    lcolLParam,
    lcolResult,
    lcolDetails
};
const int LogColumnCount = 9;
extern const char* const LogColumnCaptions[LogColumnCount];

// Names of the system's messages from the message table; the private ranges are named by their base.
class TLogMessageNames {
  public:
    TLogMessageNames();
    // Rows of name and number, as the message table holds them; the first name of a number wins, a range
    // marker only where no other name has the number.
    void Load(const TCsvFile& table);
    void Add(const std::string& name, uint32_t message);
    // The table's name below WM_USER, "WM_USER+n" and "WM_APP+n" in the private ranges, otherwise the
    // number in hexadecimal ("0xC123").
    std::string Name(uint32_t message) const;

  private:
    std::vector<std::string> names; // one per message below WM_USER
};

struct TLogTextContext {
    const TLogMessageNames* Names = nullptr;
    int64_t StartTime = 0; // the performance counter when the log started
    int64_t Frequency = 1; // counts per second
};

std::string LogCellText(const TLogRecord& record, int column, const TLogTextContext& context);
// The common messages decoded: pointer position and buttons, key and repeat count, sizes, positions and
// flags, show state, activation, style changes, the text of WM_SETTEXT; empty for the others.
std::string LogDetails(const TLogRecord& record);
// The name of a virtual key ("A", "F5", "Enter"), or its number.
std::string VirtualKeyName(uint32_t key);
// A header line, then one line per row; fields with a comma, a quote or a line break are quoted and their
// quotes doubled; every line ends in CR LF.
std::string CsvRows(const std::vector<std::string>& captions,
                    const std::vector<std::vector<std::string>>& rows);

// Include and exclude patterns in the program's own syntax, over the message name, case ignored. Message
// names hold no spaces and the syntax has no alternation, so a filter text may hold several patterns apart
// by spaces: a name matches when any of them is found in it. An empty include shows every message; an empty
// exclude hides none. A bad pattern raises std::runtime_error and leaves the filter as it was.
class TLogFilter {
  public:
    void SetInclude(const std::string& pattern);
    void SetExclude(const std::string& pattern);
    bool Shows(const std::string& name);

  private:
    using TPatterns = std::vector<std::unique_ptr<TRegExSimple>>;
    static TPatterns Compile(const std::string& text);
    static bool AnyMatches(TPatterns& patterns, const std::string& name);
    TPatterns include;
    TPatterns exclude;
};

// Every record a log took in, and which of them its filter shows. A row keeps only what the columns show;
// the fields copied from a structure live in a side store, since few messages carry them.
class TLogRows {
  public:
    explicit TLogRows(const TLogMessageNames& names) : Names(names) {}

    const TLogMessageNames& Names;
    TLogFilter Filter;

    void Append(const std::vector<TLogRecord>& records);
    // After a change of the filter: the rows already recorded are sorted out again.
    void Refilter();
    void Clear();
    size_t RecordedCount() const { return rows.Size(); }
    size_t ShownCount() const { return shown.Size(); }
    // The shown row as a record; its thread is not kept.
    TLogRecord Shown(size_t index) const { return Record(shown[index]); }
    // The memory the rows hold, counted from the containers.
    size_t Bytes() const { return rows.Bytes() + shown.Bytes() + copied.Bytes() + verdicts.capacity(); }

  private:
    struct TRow {
        uint64_t Sequence;
        int64_t Time;
        uint64_t Window;
        uint64_t WParam;
        uint64_t LParam;
        uint64_t Result;
        uint32_t Message;
        uint8_t Kind;
        uint8_t Copied;
    };
    struct TCopied {
        uint64_t Row;
        decltype(TLogRecord::Fields) Fields;
    };
    TLogRecord Record(size_t row) const;
    bool Shows(uint32_t message);
    TChunkedArray<TRow> rows;
    TChunkedArray<uint32_t> shown;
    TChunkedArray<TCopied> copied; // in the order of their rows
    // What the filter said for each message number, so that a burst costs one match per message kind:
    // 0 not asked yet, 1 shown, 2 hidden.
    std::vector<uint8_t> verdicts;
};
