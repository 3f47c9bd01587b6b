// TLogChannel: the ring's shared memory, its random name, the hooks and the hand-over to the target.
#include "msglog/LogChannel.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"

#include <bcrypt.h>

namespace {

bool RandomKey(uint64_t& key) {
    return BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&key), sizeof key,
                           BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

std::string RingName(uint64_t key) {
    return LogRingNamePrefix +
           FormatText("%.8X%.8X", static_cast<uint32_t>(key >> 32), static_cast<uint32_t>(key));
}

} // namespace

TLogChannel::TLogChannel(TLogHookHost& hookHost, HWND window, TLogScope scope, uint32_t capacity)
    : host(hookHost), target(window) {
    LARGE_INTEGER now, counts;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&counts);
    startTime = now.QuadPart;
    frequency = counts.QuadPart > 0 ? counts.QuadPart : 1;
    if (!Open(scope, capacity)) {
        ring.reset();
        if (hooked) host.Stop(key, thread);
        hooked = false;
    }
}

TLogChannel::~TLogChannel() {
    // The hook module lets go of the ring when it next sees this; until then the memory stays mapped there.
    if (ring) ring->Header().Closed.store(1, std::memory_order_release);
    if (hooked) host.Stop(key, thread);
}

bool TLogChannel::Open(TLogScope scope, uint32_t capacity) {
    thread = IsWindow(target) ? GetWindowThreadProcessId(target, &processId) : 0;
    if (!thread) {
        error = "The window is gone.";
        return false;
    }
    process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        error = GetLastError() == ERROR_ACCESS_DENIED
                    ? "The program refused the hook: it runs with higher rights than Paneprobe."
                    : "The window's process cannot be opened: " + LastErrorText();
        return false;
    }
    bits = ProcessBits(process.Get());
    if (!IsLogRingCapacity(capacity)) capacity = DefaultCapacity;
    size_t bytes = LogRingBytes(capacity);
    // A name that someone took already is never used: the next key is tried.
    for (int attempt = 0; attempt < 4 && !mapping; ++attempt) {
        if (!RandomKey(key)) break;
        HANDLE made = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         static_cast<DWORD>(bytes), RingName(key).c_str());
        DWORD code = GetLastError();
        mapping.Reset(made);
        if (made && code == ERROR_ALREADY_EXISTS) mapping.Reset();
    }
    if (mapping)
        view = TMappedView(MapViewOfFile(mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, bytes));
    if (!view) {
        error = "The log's shared memory cannot be made: " + LastErrorText();
        return false;
    }
    ring = std::make_unique<TLogRing>(view.Get());
    ring->Init(capacity, reinterpret_cast<UINT_PTR>(target), thread, scope, startTime);
    ring->Header().SkipLogWindows = processId == GetCurrentProcessId() ? 1 : 0;
    if (!host.Start(key, thread, error)) return false;
    hooked = true;
    return true;
}

size_t TLogChannel::Drain(std::vector<TLogRecord>& out, size_t max) {
    return ring ? ring->Read(out, max) : 0;
}

uint32_t TLogChannel::Dropped() const {
    return ring ? ring->Header().Dropped.load(std::memory_order_relaxed) : 0;
}

uint32_t TLogChannel::Waiting() const {
    return ring ? ring->Waiting() : 0;
}

bool TLogChannel::Attached() const {
    return ring && ring->Header().Attached.load(std::memory_order_acquire) != 0;
}

bool TLogChannel::TargetEnded() const {
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
}

void TLogChannel::SetPaused(bool paused) {
    if (ring) ring->Header().Paused.store(paused ? 1 : 0, std::memory_order_relaxed);
}

void TLogChannel::SetScope(TLogScope scope) {
    if (ring) ring->Header().Scope.store(scope, std::memory_order_relaxed);
}

std::string TLogChannel::HookError() const {
    DWORD code = ring ? ring->Header().HookError.load(std::memory_order_acquire) : 0;
    return code ? HookRefusalText(code) : std::string();
}
