// The target's asking window: like an editor with unsaved text, it answers WM_CLOSE only once a question has
// been answered, and keeps handling its messages meanwhile. The test answers by setting the target's named
// event "Answer" (TargetEventName); without an answer the window gives up after a time of its own.
#pragma once

#include <windows.h>

#include <string>

const char* const AskerClass = "PaneprobeTargetAsker";
// What the asking window returns for WM_CLOSE once answered; it stays open.
const LRESULT AskerAnswer = 42;

// Creates the window, captioned CAPTION + " asker", when the arguments ask for it (" ask").
void CreateAskerIfAsked(const std::string& arguments, HINSTANCE instance, const std::string& caption);
