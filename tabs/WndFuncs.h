// The twenty window commands of the "&Commands" menu: captions, shortcuts, check marks and actions.
#pragma once

#include "ui/NvClasses.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TWindowDetails;
class TWindowList;

// What a command needs from a tracked-window record, copied before any dialog opens: while a dialog or
// message box runs its own message loop the timers keep firing and the record may be replaced.
struct TWndTarget {
    HWND Handle = nullptr;
    std::string ClassName;
    DWORD Style = 0; // the style at the record's last refresh
};

using TWndExecute = void (*)(const TWndTarget& target);
using TWndIsChecked = bool (*)(const TWndTarget& target);

struct TWndCommand {
    const char* Caption;
    TWndExecute Execute;
    TWndIsChecked IsChecked; // null: the item shows no check mark
    uint16_t ShortCut;       // 0 for none
    bool SeparatorBefore;
};

enum TWndCommandRow {
    WndEnable,
    WndVisible,
    WndRestore,
    WndMinimize,
    WndMaximize,
    WndBringToTop,
    WndSendToBack,
    WndTopMost,
    WndMakeViewable,
    WndSetText,
    WndMoveSize,
    WndRedraw,
    WndHorizontalScrollBar,
    WndVerticalScrollBar,
    WndDrawFrame,
    WndInvertColors,
    WndDestroy,
    WndEndDialog,
    WndSetStyle,
    WndSetExStyle,
    WndCommandCount
};

extern const TWndCommand WndCommands[WndCommandCount];

// The most characters (UTF-16 units) "Set Window Text..." reads from a window, whatever length the window
// claims, and the most UTF-8 bytes one of them takes.
const int MaxWindowTextLength = 65535;
const size_t MaxBytesPerUnit = 3;

TWndTarget WndTargetOf(const TWindowDetails& record);
// Runs a command on the current record, or with allWindows on every record, by position as counted at the
// start; a position that holds no record when its turn comes (the list changed meanwhile) is skipped.
void RunWindowCommand(int row, TWindowList& list, bool allWindows);

// The texts the commands show, shared with the tests that answer them.
extern const char* const DestroyQuestionCaption;
extern const char* const DestroyFailedCaption;
extern const char* const DestroyFailedText;
extern const char* const EndDialogFailedCaption;
extern const char* const EndDialogFailedText;
extern const char* const MoveSizeCaption;
extern const char* const MoveSizeFailedText;
