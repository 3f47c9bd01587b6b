// TNvMessagePanel: a panel that hands chosen private messages to callbacks, for a tab that hears a worker's
// word or fills its list a share at a time between messages.
#pragma once

#include "ui/NvPanel.h"

#include <functional>
#include <map>

class TNvMessagePanel : public TNvPanel {
  public:
    explicit TNvMessagePanel(TNvWindow& owner) : TNvPanel(owner) {}
    void On(UINT message, std::function<void(WPARAM)> handler) { handlers[message] = std::move(handler); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        auto found = handlers.find(message);
        if (found == handlers.end()) return TNvPanel::HandleMessage(message, wParam, lParam);
        found->second(wParam);
        return 0;
    }

  private:
    std::map<UINT, std::function<void(WPARAM)>> handlers;
};
