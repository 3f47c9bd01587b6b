// The open message logs of one Paneprobe: their windows, their settings and the hooks they share.
#pragma once

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

    TLogHooks Hooks;
    TLogSettings Settings;

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
