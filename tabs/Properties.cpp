// The three property groups.
#include "tabs/Properties.h"

#include "app/QrLib.h"
#include "app/TimeUtils.h"
#include "tabs/DetailProperties.h"
#include "app/WinApiEx.h"
#include "tabs/PropertyTexts.h"
#include "ui/WinHandles.h"

#include <vector>

namespace {

const DWORD ModuleSize = 260;

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string LocaleText(bool date, const SYSTEMTIME& moment) {
    char text[128] = {};
    int length = date
                     ? GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &moment, nullptr, text, sizeof text)
                     : GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &moment, nullptr, text, sizeof text);
    return length > 0 ? std::string(text) : std::string();
}

double DateTimeOf(const SYSTEMTIME& t) {
    return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

} // namespace

TPropertyGroup::TPropertyGroup(std::string name, const std::vector<const char*>& texts)
    : Name(std::move(name)) {
    SetCount(static_cast<int>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i)
        descriptions[i] = texts[i];
}

const std::string& TPropertyGroup::GetDescription(int index) const {
    return descriptions[static_cast<size_t>(index)];
}

const std::string& TPropertyGroup::GetValue(int index) const {
    return values[static_cast<size_t>(index)];
}

void TPropertyGroup::SetCount(int n) {
    if (n == count) return;
    count = n;
    descriptions.resize(static_cast<size_t>(n));
    values.resize(static_cast<size_t>(n));
}

void TPropertyGroup::ClearValues() {
    for (std::string& value : values)
        value.clear();
}

bool FileTimeToLocalMoment(uint64_t fileTime, double& local, std::string& text) {
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)}, here = {};
    SYSTEMTIME moment = {};
    if (!FileTimeToLocalFileTime(&utc, &here) || !FileTimeToSystemTime(&here, &moment)) return false;
    local = DateTimeOf(moment);
    text = LocaleText(true, moment) + " - " + LocaleText(false, moment);
    return true;
}

double LocalNow() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return DateTimeOf(now);
}

TProcessProperty::TProcessProperty()
    : TPropertyGroup("Process", {"Start Time", "Exit Time", "Kernel Time", "User Time", "Module Name",
                                 "GDI Objects", "User Objects", "GDI Objects PEAK", "User Objects PEAK"}) {}

bool TProcessProperty::LocalMoment(uint64_t fileTime, TDateCache& cache) {
    if (cache.FileTime == fileTime && !cache.Text.empty()) return true;
    cache = TDateCache();
    if (!FileTimeToLocalMoment(fileTime, cache.Local, cache.Text)) {
        cache.Text.clear();
        return false;
    }
    cache.FileTime = fileTime;
    return true;
}

std::string TProcessProperty::MomentText(uint64_t fileTime, double now, TDateCache& cache) {
    if (fileTime == 0) return std::string();
    if (!LocalMoment(fileTime, cache)) return std::string();
    return ::MomentText(cache.Text, ElapsedMilliseconds(now, cache.Local));
}

// The handle is owned, so it is closed once on every path, also when a step throws.
void TProcessProperty::Update(const TWindowDetails& record) {
    TKernelHandle process(OpenProcessToQuery(record.ProcessId));
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!process || !GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)) {
        CreationTime = ExitTime = KernelTime = UserTime = 0;
        ClearValues();
        return;
    }
    CreationTime = FileTimeValue(created);
    ExitTime = FileTimeValue(exited);
    KernelTime = FileTimeValue(kernel);
    UserTime = FileTimeValue(user);
    const double now = LocalNow();
    SetValue(0, MomentText(CreationTime, now, creationDate));
    SetValue(1, MomentText(ExitTime, now, exitDate));
    SetValue(2, ProcessorTimeText(KernelTime));
    SetValue(3, ProcessorTimeText(UserTime));
    char module[ModuleSize] = {};
    DWORD size = ModuleSize;
    SetValue(4, QueryFullProcessImageNameA(process.Get(), 0, module, &size) ? std::string(module) : "");
    const DWORD counters[] = {GR_GDIOBJECTS, GR_USEROBJECTS, 2 /* GR_GDIOBJECTS_PEAK */,
                              4 /* GR_USEROBJECTS_PEAK */};
    for (int i = 0; i < 4; ++i)
        SetValue(5 + i, FormatText("%u", static_cast<unsigned>(GetGuiResources(process.Get(), counters[i]))));
}

TRectProperty::TRectProperty()
    : TPropertyGroup("Rect",
                     {"Rect of Window", "Rect Mapped to Parent", "Rect of Client Area", "Width & Height"}) {}

namespace {

TIntRect IntRect(const RECT& rect) {
    return {static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top), static_cast<int32_t>(rect.right),
            static_cast<int32_t>(rect.bottom)};
}

} // namespace

// A window that has gone reads as zero rectangles rather than the last window's.
void TRectProperty::Update(const TWindowDetails& record) {
    if (!GetWindowRect(record.Handle, &Rect)) Rect = RECT{0, 0, 0, 0};
    SetValue(0, RectText(IntRect(Rect)));
    SetValue(3, FormatText("%d x %d", static_cast<int>(Rect.right - Rect.left),
                           static_cast<int>(Rect.bottom - Rect.top)));
    if (record.Parent && (record.Style & WS_CHILD)) {
        MapWindowPoints(nullptr, record.Parent, reinterpret_cast<POINT*>(&Rect), 2);
        SetValue(1, RectText(IntRect(Rect)));
    } else {
        SetValue(1, std::string());
    }
    if (!GetClientRect(record.Handle, &Rect)) Rect = RECT{0, 0, 0, 0};
    SetValue(2, RectText(IntRect(Rect)));
}

TStyleProperty::TStyleProperty() : TPropertyGroup("Style", {"Style", "Extended Style"}) {}

void TStyleProperty::Update(const TWindowDetails& record) {
    SetValue(0, StyleText(static_cast<uint32_t>(GetWindowLongA(record.Handle, GWL_STYLE)), HexPrefix));
    SetValue(1, StyleText(static_cast<uint32_t>(GetWindowLongA(record.Handle, GWL_EXSTYLE)), HexPrefix));
}

const std::vector<TPropertyGroupClass>& PropertyGroupClasses() {
    static const std::vector<TPropertyGroupClass> classes = {
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TProcessProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TRectProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TStyleProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TClassProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TWindowProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TThreadInputProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TProcessMoreProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TPropListProperty>(); }},
        {[]() -> std::unique_ptr<TPropertyGroup> { return std::make_unique<TExtraBytesProperty>(); }},
    };
    return classes;
}
