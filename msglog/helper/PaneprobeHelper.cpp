// The hook helper: a program without a window, of the other bitness than Paneprobe's, that hooks the
// threads of programs of its own bitness for Paneprobe's logs. It takes each log's ring by its key from a
// thread message, ends when the last log has gone, and never outlives the Paneprobe that started it.
// Usage: PaneprobeHelperNN.exe PANEPROBE-PROCESS-ID READY-EVENT-HANDLE
#include "msglog/LogHooks.h"
#include "msglog/LogRing.h"

#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

// The ring's target thread, or 0 when the key names no ring of this layout.
DWORD RingThread(uint64_t key, TKernelHandle& mapping, TMappedView& view) {
    char name[64];
    wsprintfA(name, "%s%08X%08X", LogRingNamePrefix, static_cast<unsigned>(key >> 32),
              static_cast<unsigned>(key));
    mapping.Reset(OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name));
    if (!mapping) return 0;
    view = TMappedView(MapViewOfFile(mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
    MEMORY_BASIC_INFORMATION info = {};
    if (!view || VirtualQuery(view.Get(), &info, sizeof info) != sizeof info) return 0;
    TLogRing ring(view.Get());
    return ring.Attach(info.RegionSize) ? ring.Header().TargetThread : 0;
}

uint64_t KeyOf(const MSG& message) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(message.wParam)) << 32) |
           static_cast<uint32_t>(message.lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char* rest = nullptr;
    DWORD parentId = std::strtoul(commandLine ? commandLine : "", &rest, 10);
    HANDLE ready = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(std::strtoull(rest, nullptr, 10)));
    TKernelHandle parent(OpenProcess(SYNCHRONIZE, FALSE, parentId));
    if (!parent) return 1;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before Paneprobe posts to it
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    TLogHooks hooks;
    std::map<uint64_t, DWORD> rings;
    bool served = false;
    for (;;) {
        HANDLE handles[] = {parent.Get()};
        DWORD woke = MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break; // Paneprobe has ended, or the wait itself failed
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return 0;
            uint64_t key = KeyOf(message);
            if (message.message == HelperOpenMessage && !message.hwnd) {
                TKernelHandle mapping;
                TMappedView view;
                DWORD thread = RingThread(key, mapping, view);
                std::string error;
                if (thread && hooks.Start(key, thread, error)) {
                    rings[key] = thread;
                    served = true;
                } else if (view) {
                    // Paneprobe reads why from the ring itself.
                    DWORD code = thread ? hooks.FailureCode() : ERROR_INVALID_PARAMETER;
                    static_cast<TLogRingHeader*>(view.Get())
                        ->HookError.store(code ? code : ERROR_GEN_FAILURE);
                }
            } else if (message.message == HelperCloseMessage && !message.hwnd) {
                auto found = rings.find(key);
                if (found != rings.end()) {
                    hooks.Stop(key, found->second);
                    rings.erase(found);
                }
                if (served && rings.empty()) return 0;
            } else {
                DispatchMessageA(&message);
            }
        }
    }
    return 0;
}
