// TNvEdit: a single-line edit control of the kit.
#pragma once

#include "ui/NvWindow.h"

#include <windows.h>

class TNvEdit : public TNvWindow {
  public:
    explicit TNvEdit(TNvWindow& owner, DWORD extraStyle = 0);
};
