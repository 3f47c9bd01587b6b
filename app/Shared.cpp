// The tab framework, the tracked-window list and the program-wide values.
#include "app/Shared.h"

#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "ui/NvClasses.h"

#include <algorithm>
#include <cstring>

TEasyConfig* ConfigStore = nullptr;
TWindowList* TrackedList = nullptr;
TNvImageList* SharedImageList = nullptr;
HWND MainWindowHandle = nullptr;
std::string HexPrefix;

void TPaneprobeTab::Activate() {
    if (ConfigStore)
        TConfigVarInt::Get(ConfigStore, "tabs", "update_interval_ms", DefaultRefreshIntervalMs)
            .SetValue(RefreshIntervalMs());
}

void TPaneprobeTab::SetCaption(const std::string& text) {
    Caption = text;
    if (Sheet) Sheet->SetCaption(text);
}

TPaneprobeTab& TPaneprobeTabManager::AddTab(const TTabClass& tabClass, TNvTabSheet* sheet) {
    Tabs.push_back(tabClass.Create(sheet));
    missedChange.push_back(false);
    return *Tabs.back();
}

TPaneprobeTab* TPaneprobeTabManager::FindTab(const TTabClass& tabClass) const {
    for (const auto& tab : Tabs)
        if (tabClass.IsInstance(tab.get())) return tab.get();
    return nullptr;
}

// By index: a handler may change a setting and so broadcast again before this loop ends. While the
// pointer moves this runs 30 times a second, so a hidden tab only notes that it is behind.
void TPaneprobeTabManager::BroadcastTrackedListChanged() {
    for (size_t i = 0; i < Tabs.size(); ++i) {
        if (visibleTab < 0 || static_cast<int>(i) == visibleTab) {
            missedChange[i] = false;
            Tabs[i]->TrackedListChanged();
        } else {
            missedChange[i] = true;
            Tabs[i]->TrackedListChangedHidden();
        }
    }
}

void TPaneprobeTabManager::SetVisibleTab(int index) {
    visibleTab = index >= 0 && index < Count() ? index : -1;
    if (visibleTab < 0 || !missedChange[static_cast<size_t>(visibleTab)]) return;
    missedChange[static_cast<size_t>(visibleTab)] = false;
    Tabs[static_cast<size_t>(visibleTab)]->TrackedListChanged();
}

void TPaneprobeTabManager::BroadcastConfigChanged(TConfigVar& variable) {
    for (size_t i = 0; i < Tabs.size(); ++i)
        Tabs[i]->ConfigChanged(variable);
}

void TPaneprobeTabManager::Clear() {
    for (auto& tab : Tabs)
        tab.reset();
    Tabs.clear();
    missedChange.clear();
    visibleTab = -1;
}

namespace {

// Windows held back from the next WM_GETTEXT: those whose last one did not answer in time, and those that
// answered but slowly. Such a window is asked again only after it has answered a WM_NULL sent with a
// callback, which costs no wait, and a second after it was last asked: a hung window costs one timeout, and a
// busy one one slow answer a second, not one on every fast tick for as long as it stays tracked. A slow
// window's last answer stands for its text meanwhile. Bounded, oldest first out.
struct THeldBackWindow {
    HWND Window = nullptr;
    DWORD AskedAt = 0;
    bool Answered = false;
    bool HasText = false; // it answered, slowly: Text is that answer
    std::string Text;
};
std::vector<THeldBackWindow> HeldBackWindows;
const size_t MaxHeldBackWindows = 64;
const DWORD SlowAnswerMs = 50;
const DWORD AskAgainAfterMs = 1000;

std::vector<THeldBackWindow>::iterator FindHeldBack(HWND window) {
    return std::find_if(HeldBackWindows.begin(), HeldBackWindows.end(),
                        [window](const THeldBackWindow& held) { return held.Window == window; });
}

void ForgetHeldBackWindow(HWND window) {
    auto held = FindHeldBack(window);
    if (held != HeldBackWindows.end()) HeldBackWindows.erase(held);
}

void CALLBACK HeldBackWindowAnswered(HWND window, UINT, ULONG_PTR, LRESULT) {
    auto held = FindHeldBack(window);
    if (held != HeldBackWindows.end()) held->Answered = true;
}

const THeldBackWindow* HeldBack(HWND window) {
    auto held = FindHeldBack(window);
    if (held == HeldBackWindows.end()) return nullptr;
    // A window that went away while it hung never answers; a new window may one day get its handle.
    bool due = held->Answered && GetTickCount() - held->AskedAt >= AskAgainAfterMs;
    if (!due && IsWindow(window)) return &*held;
    HeldBackWindows.erase(held);
    return nullptr;
}

// The entry comes first: for a window of this thread the callback runs before the send returns.
void HoldBack(HWND window, DWORD askedAt, const char* answer) {
    ForgetHeldBackWindow(window);
    if (HeldBackWindows.size() >= MaxHeldBackWindows) HeldBackWindows.erase(HeldBackWindows.begin());
    THeldBackWindow held;
    held.Window = window;
    held.AskedAt = askedAt;
    held.HasText = answer != nullptr;
    if (answer) held.Text = answer;
    HeldBackWindows.push_back(std::move(held));
    if (!SendMessageCallbackA(window, WM_NULL, 0, 0, HeldBackWindowAnswered, 0)) ForgetHeldBackWindow(window);
}

// Controls of other processes keep their text themselves. False when the window did not answer.
bool AskWindowForText(HWND window, char* text, int size, UINT timeoutMs) {
    if (const THeldBackWindow* held = HeldBack(window)) {
        if (!held->HasText) return false;
        lstrcpynA(text, held->Text.c_str(), size);
        return true;
    }
    DWORD askedAt = GetTickCount();
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, timeoutMs, &length)) {
        text[size - 1] = '\0';
        if (GetTickCount() - askedAt >= SlowAnswerMs) HoldBack(window, askedAt, text);
        return true;
    }
    if (IsWindow(window)) HoldBack(window, askedAt, nullptr);
    return false;
}

} // namespace

bool AwaitsAnswer(HWND window) {
    return HeldBack(window) != nullptr;
}

void TWindowDetails::Refresh() {
    Parent = GetParent(Handle);
    ThreadId = GetWindowThreadProcessId(Handle, &ProcessId);
    Style = static_cast<DWORD>(GetWindowLongA(Handle, GWL_STYLE));
    GetClassNameA(Handle, ClassName, TextSize);
    EndAtWholeCharacter(ClassName, TextSize);
    char text[TextSize] = {};
    CaptionNoWait(Handle, text, TextSize);
    // A window that does not answer keeps the caption it had.
    if (text[0] == '\0') {
        if (!MayAskForCaption()) return;
        if (!AskWindowForText(Handle, text, TextSize, CaptionTimeoutMs)) {
            CaptionUnanswered();
            return;
        }
    }
    EndAtWholeCharacter(text, TextSize);
    std::memcpy(Caption, text, sizeof Caption);
}

bool SameDetails(const TWindowDetails& a, const TWindowDetails& b) {
    return a.Handle == b.Handle && a.Parent == b.Parent && a.ThreadId == b.ThreadId &&
           a.ProcessId == b.ProcessId && a.Style == b.Style && std::strcmp(a.ClassName, b.ClassName) == 0 &&
           std::strcmp(a.Caption, b.Caption) == 0;
}

void TWindowDetails::Clear() {
    Handle = Parent = nullptr;
    ThreadId = ProcessId = Style = 0;
    ClassName[0] = Caption[0] = '\0';
}

void TWindowDetails::SetHandle(HWND handle) {
    Clear();
    Handle = handle;
}

TWindowDetails* TWindowList::Get(int index) const {
    return index < 0 || index >= count ? nullptr : Items[static_cast<size_t>(index)].get();
}

void TWindowList::SetItemIndex(int index) {
    if (index == itemIndex) return;
    itemIndex = index;
    Changed();
}

int TWindowList::Add(std::unique_ptr<TWindowDetails> record) {
    if (count == Capacity()) Items.resize(static_cast<size_t>(std::max(1, Capacity()) * 2));
    Items[static_cast<size_t>(count++)] = std::move(record);
    Changed();
    return count - 1;
}

void TWindowList::Delete(int index) {
    if (index < 0 || index >= count) return;
    std::unique_ptr<TWindowDetails> removed = std::move(Items[static_cast<size_t>(index)]);
    for (int i = index; i < count - 1; ++i)
        Items[static_cast<size_t>(i)] = std::move(Items[static_cast<size_t>(i) + 1]);
    --count;
    removed.reset();
    Changed();
}

void TWindowList::Clear() {
    Items.clear();
    Items.shrink_to_fit();
    count = 0;
    itemIndex = 0;
    Changed();
}

void TWindowList::Changed() {
    if (OnChange) OnChange(*this);
}

void StopFollowingMouse() {
    if (ConfigStore) TConfigVarBool::Get(ConfigStore, "system", "scan_window_at_mouse", true).SetValue(false);
}

void TrackWindow(HWND handle, bool append, bool stopScanning) {
    if (stopScanning) StopFollowingMouse();
    if (!TrackedList) return;
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackRecord(std::move(record), append, false);
}

void TrackRecord(std::unique_ptr<TWindowDetails> record, bool append, bool stopScanning) {
    if (stopScanning) StopFollowingMouse();
    if (!TrackedList) return;
    if (!append) TrackedList->Clear();
    TrackedList->Add(std::move(record));
}
