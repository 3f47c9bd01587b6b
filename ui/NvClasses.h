// The control kit in one include: thin C++ classes over the window system's common controls, one header each.
#pragma once

#include "ui/NvButton.h"
#include "ui/NvComboBox.h"
#include "ui/NvEdit.h"
#include "ui/NvForm.h"
#include "ui/NvImageList.h"
#include "ui/NvListView.h"
#include "ui/NvMainMenu.h"
#include "ui/NvMenu.h"
#include "ui/NvOwnerDrawListView.h"
#include "ui/NvPageControl.h"
#include "ui/NvPanel.h"
#include "ui/NvPopupMenu.h"
#include "ui/NvStatusBar.h"
#include "ui/NvTreeView.h"
#include "ui/NvWindow.h"
#include "ui/WinHandles.h"
