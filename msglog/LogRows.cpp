// The texts of a log's rows, the decoding of the common messages, CSV, filters and the rows kept.
#include "msglog/LogRows.h"

#include "app/QrLib.h"
#include "messages/CsvFile.h"

#include <cstring>

namespace {

const uint32_t UserBase = 0x0400;
const uint32_t AppBase = 0x8000;
const uint32_t RegisteredBase = 0xC000;

int16_t LowWord(uint64_t value) {
    return static_cast<int16_t>(value & 0xFFFF);
}
int16_t HighWord(uint64_t value) {
    return static_cast<int16_t>((value >> 16) & 0xFFFF);
}

std::string Hex(uint64_t value) {
    if (value > 0xFFFFFFFFull)
        return FormatText("0x%.8X%.8X", static_cast<uint32_t>(value >> 32), static_cast<uint32_t>(value));
    return FormatText("0x%.8X", static_cast<uint32_t>(value));
}

struct TFlagName {
    uint32_t Bit;
    const char* Name;
};

std::string FlagNames(uint32_t value, const TFlagName* table, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (!(value & table[i].Bit)) continue;
        if (!text.empty()) text += '|';
        text += table[i].Name;
        value &= ~table[i].Bit;
    }
    if (value) text += (text.empty() ? "" : "|") + FormatText("0x%X", value);
    return text.empty() ? "0" : text;
}

const TFlagName MouseKeys[] = {{0x0001, "L"}, {0x0002, "R"},  {0x0004, "Shift"}, {0x0008, "Ctrl"},
                               {0x0010, "M"}, {0x0020, "X1"}, {0x0040, "X2"}};
const TFlagName PositionFlags[] = {
    {0x0001, "NOSIZE"},     {0x0002, "NOMOVE"},        {0x0004, "NOZORDER"},      {0x0008, "NOREDRAW"},
    {0x0010, "NOACTIVATE"}, {0x0020, "FRAMECHANGED"},  {0x0040, "SHOWWINDOW"},    {0x0080, "HIDEWINDOW"},
    {0x0100, "NOCOPYBITS"}, {0x0200, "NOOWNERZORDER"}, {0x0400, "NOSENDCHANGING"}};

std::string MouseDetails(const TLogRecord& r, bool screen) {
    return FormatText("%s x=%d y=%d buttons=%s", screen ? "screen" : "client", LowWord(r.LParam),
                      HighWord(r.LParam),
                      FlagNames(static_cast<uint32_t>(r.WParam) & 0xFFFF, MouseKeys, 7).c_str());
}

std::string KeyDetails(const TLogRecord& r) {
    uint32_t flags = static_cast<uint32_t>(r.LParam);
    std::string text =
        FormatText("key=%s repeat=%d scan=0x%.2X", VirtualKeyName(static_cast<uint32_t>(r.WParam)).c_str(),
                   flags & 0xFFFF, (flags >> 16) & 0xFF);
    if (flags & (1u << 24)) text += " extended";
    if (flags & (1u << 30)) text += " was-down";
    if (flags & (1u << 31)) text += " up";
    return text;
}

std::string CharDetails(const TLogRecord& r) {
    uint32_t code = static_cast<uint32_t>(r.WParam);
    if (code >= 0x20 && code < 0x7F)
        return FormatText("char='%c' repeat=%d", static_cast<int>(code), LowWord(r.LParam) & 0xFFFF);
    return FormatText("char=0x%.2X repeat=%d", code, LowWord(r.LParam) & 0xFFFF);
}

const char* const SizeTypes[] = {"RESTORED", "MINIMIZED", "MAXIMIZED", "MAXSHOW", "MAXHIDE"};
const char* const ActivateStates[] = {"INACTIVE", "ACTIVE", "CLICKACTIVE"};
const char* const ShowStatus[] = {"", " PARENTCLOSING", " OTHERZOOM", " PARENTOPENING", " OTHERUNZOOM"};

std::string CopiedDetails(const TLogRecord& r) {
    const int32_t* v = r.Fields.Values;
    switch (r.Copied) {
    case lcWindowPos:
        return FormatText("x=%d y=%d cx=%d cy=%d flags=%s", v[0], v[1], v[2], v[3],
                          FlagNames(static_cast<uint32_t>(v[4]), PositionFlags, 11).c_str());
    case lcRect:
        return FormatText("rect=(%d,%d)-(%d,%d)", v[0], v[1], v[2], v[3]);
    case lcCreate:
        return FormatText("x=%d y=%d cx=%d cy=%d style=0x%.8X exstyle=0x%.8X", v[0], v[1], v[2], v[3],
                          static_cast<uint32_t>(v[4]), static_cast<uint32_t>(v[5]));
    case lcMinMax:
        return FormatText("maxsize=%dx%d maxpos=%d,%d mintrack=%dx%d maxtrack=%dx%d", v[0], v[1], v[2], v[3],
                          v[4], v[5], v[6], v[7]);
    case lcStyle:
        return FormatText("old=0x%.8X new=0x%.8X", static_cast<uint32_t>(v[0]), static_cast<uint32_t>(v[1]));
    case lcText: {
        char text[sizeof r.Fields.Text + 1] = {};
        std::memcpy(text, r.Fields.Text, sizeof r.Fields.Text);
        return std::string("\"") + text + "\"";
    }
    default:
        return "";
    }
}

} // namespace

const char* const LogColumnCaptions[LogColumnCount] = {"#",      "Time",   "Kind",   "Handle", "Message",
                                                       "wParam", "lParam", "Result", "Details"};

TLogMessageNames::TLogMessageNames() : names(UserBase) {}

void TLogMessageNames::Load(const TCsvFile& table) {
    // Range markers (WM_MOUSEFIRST shares its number with WM_MOUSEMOVE) go last: a row reads better with
    // the message's own name.
    for (bool markers : {false, true})
        for (int row = 0; row < table.RowCount(); ++row) {
            int32_t number = 0;
            bool marker = table.GetCell(row, 2).find("range marker") != std::string::npos;
            if (marker == markers && TryIntFromText(table.GetCell(row, 1), number))
                Add(table.GetCell(row, 0), static_cast<uint32_t>(number));
        }
}

void TLogMessageNames::Add(const std::string& name, uint32_t message) {
    if (message < UserBase && names[message].empty()) names[message] = name;
}

std::string TLogMessageNames::Name(uint32_t message) const {
    if (message < UserBase && !names[message].empty()) return names[message];
    if (message >= UserBase && message < AppBase)
        return message == UserBase ? "WM_USER"
                                   : FormatText("WM_USER+%d", static_cast<int>(message - UserBase));
    if (message >= AppBase && message < RegisteredBase)
        return message == AppBase ? "WM_APP" : FormatText("WM_APP+%d", static_cast<int>(message - AppBase));
    return FormatText("0x%.4X", message);
}

std::string VirtualKeyName(uint32_t key) {
    static const struct {
        uint32_t Key;
        const char* Name;
    } named[] = {
        {0x08, "Backspace"}, {0x09, "Tab"},      {0x0D, "Enter"},    {0x10, "Shift"},   {0x11, "Ctrl"},
        {0x12, "Alt"},       {0x13, "Pause"},    {0x14, "CapsLock"}, {0x1B, "Esc"},     {0x20, "Space"},
        {0x21, "PageUp"},    {0x22, "PageDown"}, {0x23, "End"},      {0x24, "Home"},    {0x25, "Left"},
        {0x26, "Up"},        {0x27, "Right"},    {0x28, "Down"},     {0x2D, "Insert"},  {0x2E, "Delete"},
        {0x5B, "LWin"},      {0x5C, "RWin"},     {0x5D, "Apps"},     {0x6A, "Num *"},   {0x6B, "Num +"},
        {0x6D, "Num -"},     {0x6E, "Num ."},    {0x6F, "Num /"},    {0x90, "NumLock"}, {0x91, "ScrollLock"}};
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x60 && key <= 0x69) return FormatText("Num %d", static_cast<int>(key - 0x60));
    if (key >= 0x70 && key <= 0x87) return FormatText("F%d", static_cast<int>(key - 0x70 + 1));
    for (const auto& entry : named)
        if (entry.Key == key) return entry.Name;
    return FormatText("0x%.2X", key);
}

std::string LogDetails(const TLogRecord& r) {
    if (r.Copied != lcNone) return CopiedDetails(r);
    uint32_t message = r.Message;
    if (message >= 0x0200 && message <= 0x020E && message != 0x020A && message != 0x020E)
        return MouseDetails(r, false);
    if (message == 0x020A || message == 0x020E)
        return FormatText("delta=%d ", HighWord(r.WParam)) + MouseDetails(r, true);
    if (message >= 0x00A0 && message <= 0x00AD)
        return FormatText("hit=%d screen x=%d y=%d", static_cast<int>(static_cast<uint32_t>(r.WParam)),
                          LowWord(r.LParam), HighWord(r.LParam));
    switch (message) {
    case 0x0100:
    case 0x0101:
    case 0x0104:
    case 0x0105:
        return KeyDetails(r);
    case 0x0102:
    case 0x0106:
        return CharDetails(r);
    case 0x0003:
        return FormatText("x=%d y=%d", LowWord(r.LParam), HighWord(r.LParam));
    case 0x0005: {
        uint32_t type = static_cast<uint32_t>(r.WParam);
        return FormatText("%s %dx%d", type < 5 ? SizeTypes[type] : "?", LowWord(r.LParam) & 0xFFFF,
                          HighWord(r.LParam) & 0xFFFF);
    }
    case 0x0006: {
        uint32_t state = static_cast<uint32_t>(r.WParam) & 0xFFFF;
        return FormatText("%s%s other=%s", state < 3 ? ActivateStates[state] : "?",
                          (r.WParam >> 16) & 0xFFFF ? " minimized" : "", Hex(r.LParam).c_str());
    }
    case 0x001C:
        return FormatText("%s thread=%u", r.WParam ? "activated" : "deactivated",
                          static_cast<uint32_t>(r.LParam));
    case 0x0086:
        return r.WParam ? "active" : "inactive";
    case 0x0007:
    case 0x0008:
        return "other=" + Hex(r.LParam ? r.LParam : r.WParam);
    case 0x0018: {
        uint32_t status = static_cast<uint32_t>(r.LParam);
        return std::string(r.WParam ? "shown" : "hidden") + (status < 5 ? ShowStatus[status] : "");
    }
    case 0x000A:
        return r.WParam ? "enabled" : "disabled";
    default:
        return "";
    }
}

std::string LogCellText(const TLogRecord& r, int column, const TLogTextContext& context) {
    static const char* const kinds[] = {"S", "R", "P"};
    switch (column) {
    case lcolNumber:
        return FormatText("%llu", static_cast<unsigned long long>(r.Sequence));
    case lcolTime: {
        // Unsigned arithmetic: counters from another process may be anything, and must not overflow.
        uint64_t ticks = static_cast<uint64_t>(r.Time) - static_cast<uint64_t>(context.StartTime);
        bool negative = static_cast<int64_t>(ticks) < 0;
        if (negative) ticks = 0 - ticks;
        uint64_t frequency = context.Frequency > 0 ? static_cast<uint64_t>(context.Frequency) : 1;
        uint64_t micro = ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
        return FormatText("%s%llu.%.3d", negative ? "-" : "", static_cast<unsigned long long>(micro / 1000),
                          static_cast<int>(micro % 1000));
    }
    case lcolKind:
        return r.Kind < 3 ? kinds[r.Kind] : "?";
    case lcolHandle:
        return Hex(r.Window);
    case lcolMessage:
        return context.Names ? context.Names->Name(r.Message) : FormatText("0x%.4X", r.Message);
    case lcolWParam:
        return Hex(r.WParam);
    case lcolLParam:
        return Hex(r.LParam);
    case lcolResult:
        return r.Kind == lkReturned ? Hex(r.Result) : "";
    case lcolDetails:
        return LogDetails(r);
    default:
        return "";
    }
}

std::string CsvRows(const std::vector<std::string>& captions,
                    const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    auto line = [&text](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += ',';
            const std::string& cell = cells[i];
            if (cell.find_first_of(",\"\r\n") == std::string::npos) {
                text += cell;
                continue;
            }
            text += '"';
            for (char c : cell) {
                if (c == '"') text += '"';
                text += c;
            }
            text += '"';
        }
        text += "\r\n";
    };
    line(captions);
    for (const auto& row : rows)
        line(row);
    return text;
}

TLogFilter::TPatterns TLogFilter::Compile(const std::string& text) {
    TPatterns patterns;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start)
            patterns.push_back(std::make_unique<TRegExSimple>(text.substr(start, end - start), true));
        start = end + 1;
    }
    return patterns;
}

bool TLogFilter::AnyMatches(TPatterns& patterns, const std::string& name) {
    for (auto& pattern : patterns)
        if (pattern->Match(name) > 0) return true;
    return false;
}

void TLogFilter::SetInclude(const std::string& pattern) {
    include = Compile(pattern);
}

void TLogFilter::SetExclude(const std::string& pattern) {
    exclude = Compile(pattern);
}

bool TLogFilter::Shows(const std::string& name) {
    if (!include.empty() && !AnyMatches(include, name)) return false;
    return !AnyMatches(exclude, name);
}

bool TLogRows::Shows(uint32_t message) {
    if (message > 0xFFFF) return Filter.Shows(Names.Name(message));
    if (verdicts.empty()) verdicts.assign(0x10000, 0);
    uint8_t& verdict = verdicts[message];
    if (verdict == 0) verdict = Filter.Shows(Names.Name(message)) ? 1 : 2;
    return verdict == 1;
}

void TLogRows::Append(const std::vector<TLogRecord>& added) {
    for (const TLogRecord& r : added) {
        size_t index = rows.Size();
        if (Shows(r.Message)) shown.PushBack(static_cast<uint32_t>(index));
        rows.PushBack(
            {r.Sequence, r.Time, r.Window, r.WParam, r.LParam, r.Result, r.Message, r.Kind, r.Copied});
        if (r.Copied != lcNone) copied.PushBack({index, r.Fields});
    }
}

TLogRecord TLogRows::Record(size_t index) const {
    const TRow& row = rows[index];
    TLogRecord r = {};
    r.Sequence = row.Sequence;
    r.Time = row.Time;
    r.Window = row.Window;
    r.WParam = row.WParam;
    r.LParam = row.LParam;
    r.Result = row.Result;
    r.Message = row.Message;
    r.Kind = row.Kind;
    r.Copied = row.Copied;
    if (row.Copied == lcNone) return r;
    size_t low = 0, high = copied.Size();
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (copied[middle].Row < index)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < copied.Size() && copied[low].Row == index) r.Fields = copied[low].Fields;
    return r;
}

void TLogRows::Refilter() {
    verdicts.clear();
    shown.Clear();
    for (size_t i = 0; i < rows.Size(); ++i)
        if (Shows(rows[i].Message)) shown.PushBack(static_cast<uint32_t>(i));
}

void TLogRows::Clear() {
    rows.Clear();
    shown.Clear();
    copied.Clear();
}
