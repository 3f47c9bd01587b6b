// The open message logs of one Paneprobe: their windows, their settings and the hooks they share.
#pragma once

#include "msglog/LogHelper.h"
#include "msglog/LogHooks.h"
#include "msglog/LogWindow.h"

#include <memory>
#include <vector>

class TEasyConfig;

class TMessageLogs {
  public:
    // Declares the "log" settings in the store (none without a store).
    explicit TMessageLogs(TEasyConfig* store);
    ~TMessageLogs();
    TMessageLogs(const TMessageLogs&) = delete;
    TMessageLogs& operator=(const TMessageLogs&) = delete;

    // Targets of this program's bitness are hooked from here, the others through the helper.
    TLogHooks Hooks;
    THelperHooks Helper{OwnBits() == 64 ? 32 : 64};
    TLogSettings Settings;

    // Where the target's hooks come from.
    TLogHookHost& HostFor(HWND target);
    // A new log window on the target; several may be open at once, also on one target.
    TMessageLogForm& Open(HWND target, uint32_t capacity = TLogChannel::DefaultCapacity);
    // The logs whose windows are still open.
    int Count();
    TMessageLogForm* Log(int index);
    void CloseAll();

  private:
    void DropClosed();
    std::vector<std::unique_ptr<TMessageLogForm>> forms;
};
