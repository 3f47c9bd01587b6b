// Helpers for the shell tests.
#include "ShellTestSupport.h"

#include "config/EasyConfig.h"

#include <sstream>

std::vector<TRecordingTab*> TRecordingTab::Created;

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (TNvForm::PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (milliseconds) Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

// Earlier moves may still be on their way: the pointer must stay at the spot for a while.
bool MovePointerTo(POINT spot, DWORD settleMs) {
    SetCursorPos(spot.x, spot.y);
    DWORD since = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(5)) {
        POINT now = {};
        if (!GetCursorPos(&now) || now.x != spot.x || now.y != spot.y) {
            since = 0;
            SetCursorPos(spot.x, spot.y);
            continue;
        }
        if (!since) since = GetTickCount();
        if (GetTickCount() - since >= settleMs) return true;
    }
    return false;
}

void PumpMovingBetween(POINT first, POINT second, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (int step = 0; step == 0 || GetTickCount() - start < milliseconds; ++step) {
        MovePointerTo(step % 2 ? second : first, 0);
        PumpMessages(20);
    }
}

std::pair<POINT, POINT> TwoSpotsOf(const TPaneprobeForm& form) {
    RECT frame = {}, bar = {};
    GetWindowRect(form.Handle(), &frame);
    GetWindowRect(form.StatusBar->Handle(), &bar);
    POINT title = {(frame.left + frame.right) / 2,
                   frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    POINT status = {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
    return {title, status};
}

void PressKey(HWND target, WORD key, unsigned shift, int times) {
    BYTE saved[256], state[256];
    GetKeyboardState(saved);
    GetKeyboardState(state);
    auto hold = [&state](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
    hold(VK_SHIFT, shift & ssShift);
    hold(VK_LSHIFT, shift & ssShift);
    hold(VK_CONTROL, shift & ssCtrl);
    hold(VK_LCONTROL, shift & ssCtrl);
    hold(VK_MENU, shift & ssAlt);
    hold(VK_LMENU, shift & ssAlt);
    SetKeyboardState(state);
    bool alt = (shift & ssAlt) && !(shift & ssCtrl);
    LPARAM flags = 1 | (alt ? (1 << 29) : 0);
    for (int i = 0; i < times; ++i)
        PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, flags);
    PumpMessages();
    SetKeyboardState(saved);
}

std::string SettingsPath() {
    char path[MAX_PATH] = {};
    std::string name(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return name.substr(0, name.find_last_of('.')) + ".ini";
}

std::vector<std::string> SettingsKeys() {
    std::vector<std::string> keys;
    HANDLE file = CreateFileA(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return keys;
    std::string bytes(65536, '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    std::istringstream lines(bytes);
    std::string line, section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[')
            section = line.substr(1, line.find(']') - 1);
        else if (line.find('=') != std::string::npos)
            keys.push_back(section + "." + line.substr(0, line.find('=')));
    }
    return keys;
}

void WriteSettings(const std::string& text) {
    HANDLE file = CreateFileA(SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

TRecordingTab::TRecordingTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet) {
    SetCaption("Tab " + std::to_string(Created.size()));
    Created.push_back(this);
}

void TRecordingTab::Activate() {
    ++Activations;
    TPaneprobeTab::Activate();
}

void TRecordingTab::ConfigChanged(TConfigVar& variable) {
    ConfigNames.push_back(variable.FullName());
}

std::vector<TTabClass> RecordingTabs(int count) {
    TRecordingTab::Created.clear();
    return std::vector<TTabClass>(static_cast<size_t>(count), TabClassOf<TRecordingTab>());
}
