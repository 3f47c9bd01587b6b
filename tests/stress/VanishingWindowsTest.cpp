// Windows that vanish: Paneprobe follows the pointer over a program whose windows come and go a hundred
// times a second, while every tab and the window commands act on whatever is tracked at that moment.
#include "StressSupport.h"

#include "FormFixture.h"
#include "config/IniFile.h"
#include "tabs/WndFuncs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Placed away from the churn area, so that the pointer never rests on Paneprobe itself.
const char* const PlacedSettings = "[window]\r\nleft=560\r\ntop=480\r\n";
const int RestoreTargetEvery = 40;

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

struct TVanishFigures {
    int Operations = 0;
    int Commands = 0;
    int TabSteps = 0;
    int Exceptions = 0;
    UINT_PTR Created = 0;
    UINT_PTR Destroyed = 0;
    DWORD SlowestMs[4] = {}; // by kind of step: tab, command, command, explicit choice
};

class TVanishRun {
  public:
    TVanishRun(TPaneprobeForm& form, TChurnTarget& target) : form(form), target(target) {}

    // One step: the pointer moves, the timers run, then one kind of work on whatever is tracked.
    void Step(int step) {
        SetCursorPos(2 + RandomBelow(TChurnTarget::AreaWidth - 4),
                     2 + RandomBelow(TChurnTarget::AreaHeight - 4));
        PumpMessages(static_cast<DWORD>(RandomBelow(40)));
        if (step % RestoreTargetEvery == 0) KeepAreaCovered();
        DWORD started = GetTickCount();
        try {
            switch (step % 4) {
            case 0:
                stepName = "tab";
                TabStep(step / 4);
                break;
            case 1:
            case 2:
                stepName = "command";
                CommandStep();
                break;
            default:
                stepName = "choice";
                TrackStep(step);
                break;
            }
        } catch (...) {
            ++figures.Exceptions;
        }
        DWORD took = GetTickCount() - started;
        // A slow step is named, so that a hang the watchdog counts can be traced to its work.
        if (took >= 1000)
            std::fprintf(stderr, "  slow step %d (%s): %lu ms\n", step, stepName.c_str(),
                         static_cast<unsigned long>(took));
        DWORD& slowest = figures.SlowestMs[step % 4];
        if (took > slowest) slowest = took;
        figures.Created = std::max(figures.Created, target.Created());
        figures.Destroyed = std::max(figures.Destroyed, target.Destroyed());
    }

    TVanishFigures figures;

  private:
    // Every tab in turn is shown, refreshed, told of the tracked list, and given its own work.
    void TabStep(int turn) {
        int count = form.TabManager->Count();
        int index = turn % count;
        form.PageIndex->SetValue(index);
        TPaneprobeTab* tab = form.TabManager->TabAt(index);
        stepName = "tab " + tab->Caption;
        Timed("refresh", [&] { tab->Refresh(); });
        Timed("tracked list", [&] { tab->TrackedListChanged(); });
        Timed("work", [&] { figures.Operations += 3 + RunTabWork(*tab, turn / count); });
        ++figures.TabSteps;
    }

    // A random window command on the tracked window, when it is one of the churning program's: commands on
    // the desktop or on other programs' windows would change the machine the run works on.
    void CommandStep() {
        TWindowDetails* current = TrackedList ? TrackedList->Current() : nullptr;
        if (!current || ProcessOf(current->Handle) != target.ProcessId()) return;
        int row = RandomBelow(WndCommandCount);
        // Destroying the churning program's main window would end the program and with it the run.
        if (row == WndDestroy && current->Handle == target.MainWindow()) return;
        RunWindowCommand(row, *TrackedList, false);
        ++figures.Operations;
        ++figures.Commands;
    }

    // An explicit choice stops scanning: the parent, or one of the main window's own commands; then scanning
    // goes on again.
    void TrackStep(int step) {
        static const int commands[] = {cmdObtainParent, cmdObtainParent, cmdDesktopWindow, cmdClipboardOwner};
        const int command = commands[step % 4 == 3 ? RandomBelow(4) : 0];
        Timed("command", [&] { form.RunMenuCommand(command); });
        Timed("pump", [&] { PumpMessages(static_cast<DWORD>(RandomBelow(20))); });
        Timed("status bar", [&] { form.UpdateStatusBar(); });
        TPaneprobeTab* active = form.TabManager->TabAt(form.PageControl->ActivePageIndex());
        Timed("refresh of " + (active ? active->Caption : std::string("-")),
              [&] { form.RefreshActiveTab(); });
        form.ScanAtMouse->SetValue(true);
        figures.Operations += 4;
    }

    // The commands hide, minimize and move the churning program's main window too; it comes back now and then
    // so that the pointer keeps finding its windows.
    void KeepAreaCovered() {
        HWND main = target.MainWindow();
        if (!IsWindow(main)) return;
        ShowWindowAsync(main, SW_SHOWNOACTIVATE);
        SetWindowPos(main, HWND_TOP, 0, 0, TChurnTarget::AreaWidth, TChurnTarget::AreaHeight,
                     SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        EnableWindow(main, TRUE);
    }

    // A part of a step that takes half a second or more is added to the step's name.
    template <class TWork> void Timed(const std::string& part, TWork&& work) {
        DWORD started = GetTickCount();
        work();
        DWORD took = GetTickCount() - started;
        if (took >= 500) stepName += ", " + part + " " + std::to_string(took) + " ms";
    }

    TPaneprobeForm& form;
    TChurnTarget& target;
    std::string stepName;
};

TEST(StressRun, WindowsThatVanish) {
    const int seconds = RunSeconds(20, 180);
    DeleteFileA(SettingsPath().c_str());
    WriteSettings(PlacedSettings);
    TChurnTarget target;
    ASSERT_NE(target.MainWindow(), nullptr) << "the churning target did not start";

    auto form = std::make_unique<TPaneprobeForm>();
    const int tabCount = form->TabManager->Count();
    TDialogDismisser dismisser(GetCurrentThreadId());
    int operations = 0, commands = 0, tabSteps = 0, exceptions = 0, hangs = 0;
    UINT_PTR created = 0, destroyed = 0;
    DWORD longestSilence = 0;
    std::string slowest;
    {
        TUiWatchdog watchdog(form->Handle());
        form->ScanAtMouse->SetValue(true);
        TVanishRun run(*form, target);
        DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
        for (int step = 0; GetTickCount() < end && target.Running(); ++step)
            run.Step(step);
        PumpMessages(100);
        const TVanishFigures& f = run.figures;
        operations = f.Operations, commands = f.Commands, tabSteps = f.TabSteps, exceptions = f.Exceptions;
        created = f.Created, destroyed = f.Destroyed;
        slowest = std::to_string(f.SlowestMs[0]) + " / " +
                  std::to_string(std::max(f.SlowestMs[1], f.SlowestMs[2])) + " / " +
                  std::to_string(f.SlowestMs[3]);
        hangs = watchdog.Hangs();
        longestSilence = watchdog.LongestSilenceMs();
    }
    EXPECT_TRUE(target.Running()) << "the churning target ended early";

    // What is set last must be what the settings file holds after the main window has gone.
    form->ScanAtMouse->SetValue(false);
    PumpMessages(50);
    const int interval = 40 + RandomBelow(20), page = tabCount - 1, width = 700 + RandomBelow(40);
    form->UpdateInterval->SetValue(interval);
    form->PageIndex->SetValue(page);
    form->Width->SetValue(width);
    form.reset();
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(SettingsPath(), bytes));
    TIniText ini(bytes);
    EXPECT_EQ(ini.Read("system", "update_interval_ms").value_or("?"), std::to_string(interval));
    EXPECT_EQ(ini.Read("tabs", "page_index").value_or("?"), std::to_string(page));
    EXPECT_EQ(ini.Read("window", "width").value_or("?"), std::to_string(width));
    EXPECT_EQ(ini.Read("window", "left").value_or("?"), "560");
    EXPECT_EQ(GetFileAttributesA(TemporaryFileName(SettingsPath()).c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(SettingsPath().c_str());

    const std::string name = "windows that vanish";
    PrintFigure(name, "seconds", std::to_string(seconds));
    PrintFigure(name, "operations", std::to_string(operations));
    PrintFigure(name, "window commands", std::to_string(commands));
    PrintFigure(name, "tab steps (all " + std::to_string(tabCount) + " tabs)", std::to_string(tabSteps));
    PrintFigure(name, "dialogs answered", std::to_string(dismisser.Answered()));
    PrintFigure(name, "windows created", std::to_string(created));
    PrintFigure(name, "windows destroyed", std::to_string(destroyed));
    PrintFigure(name, "exceptions", std::to_string(exceptions));
    PrintFigure(name, "hangs (2 s)", std::to_string(hangs));
    PrintFigure(name, "longest silence ms", std::to_string(longestSilence));
    PrintFigure(name, "slowest step ms (tab / command / choice)", slowest);
    EXPECT_EQ(hangs, 0);
    EXPECT_EQ(exceptions, 0);
    EXPECT_GT(commands, 0) << "the pointer never found the churning windows";
    EXPECT_GE(tabSteps, tabCount) << "not every tab had its turn";
    EXPECT_GT(destroyed, 50u * static_cast<UINT_PTR>(seconds) / 2)
        << "the churn ran slower than 25 windows a second";
}

} // namespace
