// Helpers for the shell tests: message pumping, key presses with modifiers, the settings file, test tabs.
#pragma once

#include "app/Main.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Handles this thread's messages for the given time (at least one pass), as the program's message loop does.
void PumpMessages(DWORD milliseconds = 0);
// Moves the pointer and waits (two seconds at most) until the system has reported it there for settleMs:
// under Wine the move goes through the X server, and an earlier one may still be on its way.
bool MovePointerTo(POINT spot, DWORD settleMs = 60);
// Pumps for the given time while the pointer moves to and fro between two points, so that each tick that
// follows the mouse finds another window than the one before (a window that stayed as it was is no news).
void PumpMovingBetween(POINT first, POINT second, DWORD milliseconds);
// Two points over the form: its title bar and its status bar, two windows of its own.
std::pair<POINT, POINT> TwoSpotsOf(const TPaneprobeForm& form);
// Posts a key press (or several, queued one behind the other) to a window with the modifiers held, as the
// keyboard would deliver it, and pumps.
void PressKey(HWND target, WORD key, unsigned shift, int times = 1);
// The settings file of any main window created by this test program.
std::string SettingsPath();
// "section.key" for every key in the settings file, in file order.
std::vector<std::string> SettingsKeys();
void WriteSettings(const std::string& text);

// A tab that records what the main window asks of it.
class TRecordingTab : public TPaneprobeTab {
  public:
    explicit TRecordingTab(TNvTabSheet* sheet);
    void Activate() override;
    void Refresh() override { ++Refreshes; }
    void TrackedListChanged() override {
        ++ListChanges;
        ListCounts.push_back(TrackedList ? TrackedList->Count() : -1);
    }
    void ConfigChanged(TConfigVar& variable) override;

    int Activations = 0;
    int Refreshes = 0;
    int ListChanges = 0;
    std::vector<int> ListCounts; // the tracked list's size at each change heard
    std::vector<std::string> ConfigNames;
    static std::vector<TRecordingTab*> Created;
};

// A tab that stands in for the Config tab that F2 shows.
class TSettingsLikeTab : public TRecordingTab {
  public:
    using TRecordingTab::TRecordingTab;
};

std::vector<TTabClass> RecordingTabs(int count);
