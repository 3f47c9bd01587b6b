// TNvImageList: an image list filled from consecutive bitmap resources.
#pragma once

#include <windows.h>
#include <commctrl.h>

// An image list filled from consecutive bitmap resources.
class TNvImageList {
  public:
    TNvImageList(int width, int height);
    ~TNvImageList();
    TNvImageList(const TNvImageList&) = delete;
    TNvImageList& operator=(const TNvImageList&) = delete;

    HIMAGELIST Handle() const { return hList; }
    int Count() const { return ImageList_GetImageCount(hList); }
    // Loads bitmaps first, first + 1, ... until one is missing; returns how many were added.
    int LoadBitmaps(int firstId);

  private:
    HIMAGELIST hList;
    int Width;
    int Height;
};
