// TMemoryCanvas: an off-screen 32-bit drawing surface (a DIB section in a memory device context) that is
// drawn with the ordinary graphics calls and copied out in one block.
#pragma once

#include "ui/WinHandles.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

// A drawing surface that could not be made; carries the message shown to the user.
class ECanvasError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// How the canvas makes its surface; tests put a failing one in its place.
using TCreateDibSection = HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
extern TCreateDibSection CanvasCreateDibSection;

class TMemoryCanvas {
  public:
    static const uint32_t DirtySurface = 1;
    static const int DefaultWidth = 640;
    static const int DefaultHeight = 360;

    TMemoryCanvas();
    TMemoryCanvas(const TMemoryCanvas&) = delete;
    TMemoryCanvas& operator=(const TMemoryCanvas&) = delete;
    virtual ~TMemoryCanvas();

    virtual void Invalidate(uint32_t flags) { dirty |= flags; }
    // Makes the surface usable: recreates it when a size change marked it. Throws ECanvasError.
    virtual void Prepare();

    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);
    // Copies the whole surface to the target at (x, y); 0 or the platform's error code.
    DWORD Blit(HDC target, int x, int y);
    // Selects stock objects, so that objects of the caller's own can be deleted.
    void ResetObjects();

    HDC Dc() const { return dc.Get(); }
    int Width() const { return width; }
    int Height() const { return height; }
    HBITMAP Bitmap() const { return bitmap.Get(); }
    const void* Bits() const { return bits; }
    uint32_t Dirty() const { return dirty; }

  private:
    void RecreateSurface();

    TMemoryDc dc; // declared before the surface, so the surface is deleted first
    BITMAPINFO bitmapInfo = {};
    TBitmap bitmap;
    HGDIOBJ initialBitmap = nullptr;
    void* bits = nullptr;
    int width = DefaultWidth;
    int height = DefaultHeight;
    uint32_t dirty = ~0u;
};
