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
    if (ConfigStore) TConfigVarInt::Get(ConfigStore, "tabs", "update_interval_ms", 2500).Reset();
}

void TPaneprobeTab::SetCaption(const std::string& text) {
    Caption = text;
    if (Sheet) Sheet->SetCaption(text);
}

TPaneprobeTab& TPaneprobeTabManager::AddTab(const TTabClass& tabClass, TNvTabSheet* sheet) {
    Tabs.push_back(tabClass.Create(sheet));
    return *Tabs.back();
}

TPaneprobeTab* TPaneprobeTabManager::FindTab(const TTabClass& tabClass) const {
    for (const auto& tab : Tabs)
        if (tabClass.IsInstance(tab.get())) return tab.get();
    return nullptr;
}

// By index: a handler may change a setting and so broadcast again before this loop ends.
void TPaneprobeTabManager::BroadcastTrackedListChanged() {
    for (size_t i = 0; i < Tabs.size(); ++i)
        Tabs[i]->TrackedListChanged();
}

void TPaneprobeTabManager::BroadcastConfigChanged(TConfigVar& variable) {
    for (size_t i = 0; i < Tabs.size(); ++i)
        Tabs[i]->ConfigChanged(variable);
}

void TPaneprobeTabManager::Clear() {
    for (auto& tab : Tabs)
        tab.reset();
    Tabs.clear();
}

namespace {

// Windows whose last WM_GETTEXT did not answer in time. Such a window is asked again only after it has
// answered a WM_NULL sent with a callback, which costs no wait: a hung window costs one timeout, not one on
// every fast tick for as long as it stays tracked. Bounded, oldest first out.
std::vector<HWND> SilentWindows;
const size_t MaxSilentWindows = 64;

void ForgetSilentWindow(HWND window) {
    SilentWindows.erase(std::remove(SilentWindows.begin(), SilentWindows.end(), window), SilentWindows.end());
}

void CALLBACK SilentWindowAnswered(HWND window, UINT, ULONG_PTR, LRESULT) {
    ForgetSilentWindow(window);
}

bool IsSilentWindow(HWND window) {
    if (std::find(SilentWindows.begin(), SilentWindows.end(), window) == SilentWindows.end()) return false;
    // A window that went away while it hung never answers; a new window may one day get its handle.
    if (IsWindow(window)) return true;
    ForgetSilentWindow(window);
    return false;
}

void MarkSilentWindow(HWND window) {
    if (!SendMessageCallbackA(window, WM_NULL, 0, 0, SilentWindowAnswered, 0)) return;
    if (SilentWindows.size() >= MaxSilentWindows) SilentWindows.erase(SilentWindows.begin());
    SilentWindows.push_back(window);
}

// Controls of other processes keep their text themselves. False when the window did not answer.
bool AskWindowForText(HWND window, char* text, int size, UINT timeoutMs) {
    if (IsSilentWindow(window)) return false;
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, timeoutMs, &length))
        return true;
    if (IsWindow(window)) MarkSilentWindow(window);
    return false;
}

} // namespace

bool AwaitsAnswer(HWND window) {
    return IsSilentWindow(window);
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
    if (text[0] == '\0' && !AskWindowForText(Handle, text, TextSize, CaptionTimeoutMs)) return;
    EndAtWholeCharacter(text, TextSize);
    std::memcpy(Caption, text, sizeof Caption);
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

void TrackWindow(HWND handle, bool append, bool stopScanning) {
    if (stopScanning && ConfigStore)
        TConfigVarBool::Get(ConfigStore, "system", "scan_window_at_mouse", true).SetValue(false);
    if (!TrackedList) return;
    if (!append) TrackedList->Clear();
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackedList->Add(std::move(record));
}
