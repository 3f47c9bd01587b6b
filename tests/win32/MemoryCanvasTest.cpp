// The memory canvas on real device contexts: when the surface is made, remade and kept, and its failures.
#include "tabs/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

DIBSECTION SurfaceOf(const TMemoryCanvas& canvas) {
    DIBSECTION section = {};
    EXPECT_EQ(GetObjectA(canvas.Bitmap(), sizeof section, &section), static_cast<int>(sizeof section));
    return section;
}

HBITMAP WINAPI FailingDibSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// Puts the platform's surface maker back however the test ends.
struct TFailingSurfaces {
    TFailingSurfaces() { CanvasCreateDibSection = FailingDibSection; }
    ~TFailingSurfaces() { CanvasCreateDibSection = CreateDIBSection; }
};

TEST(MemoryCanvas, BlitRightAfterConstructionMakesTheDefaultSurface) {
    TMemoryCanvas canvas;
    EXPECT_EQ(canvas.Bitmap(), nullptr) << "nothing is made before the first use";
    EXPECT_TRUE(canvas.Dirty() & TMemoryCanvas::DirtySurface);
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, 700, 400);
    HGDIOBJ old = SelectObject(target, targetBitmap);
    SetPixel(canvas.Dc(), 0, 0, 0); // drawing before the surface exists must not matter
    EXPECT_EQ(canvas.Blit(target, 0, 0), 0u);
    ASSERT_NE(canvas.Bitmap(), nullptr);
    DIBSECTION section = SurfaceOf(canvas);
    EXPECT_EQ(section.dsBm.bmWidth, 640);
    EXPECT_EQ(section.dsBm.bmHeight, 360);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBmih.biHeight, 360) << "bottom-up";
    EXPECT_EQ(section.dsBmih.biSizeImage, 640u * 360u * 4u);
    EXPECT_NE(canvas.Bits(), nullptr);
    EXPECT_FALSE(canvas.Dirty() & TMemoryCanvas::DirtySurface);

    // What is drawn is what the block copy puts on the target.
    RECT all = {0, 0, 640, 360};
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    FillRect(canvas.Dc(), &all, brush);
    DeleteObject(brush);
    EXPECT_EQ(canvas.Blit(target, 20, 10), 0u);
    EXPECT_EQ(GetPixel(target, 20, 10), RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(target, 659, 369), RGB(10, 200, 30));
    EXPECT_NE(GetPixel(target, 660, 370), RGB(10, 200, 30)) << "the copy is the surface's size";
    SelectObject(target, old);
    DeleteObject(targetBitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
}

TEST(MemoryCanvas, EqualSizesKeepTheSurfaceAndANewSizeReplacesIt) {
    TMemoryCanvas canvas;
    canvas.SetSize(200, 100);
    HBITMAP first = canvas.Bitmap();
    ASSERT_NE(first, nullptr);
    SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    canvas.SetSize(200, 100);
    canvas.Prepare();
    EXPECT_EQ(canvas.Bitmap(), first) << "the same size is not made again";

    canvas.SetWidth(300);
    EXPECT_EQ(canvas.Bitmap(), first) << "a size change only marks the surface";
    EXPECT_TRUE(canvas.Dirty() & TMemoryCanvas::DirtySurface);
    canvas.Prepare();
    ASSERT_NE(canvas.Bitmap(), first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old surface is deleted";
    EXPECT_EQ(SurfaceOf(canvas).dsBm.bmWidth, 300);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BITMAP), canvas.Bitmap());
    EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(1, 2, 3)) << "the device context and its settings stay";
}

TEST(MemoryCanvas, ASideOfZeroMakesNoSurfaceUntilBothSidesHaveSize) {
    TMemoryCanvas canvas;
    canvas.SetSize(0, 100);
    EXPECT_EQ(canvas.Bitmap(), nullptr);
    EXPECT_TRUE(canvas.Dirty() & TMemoryCanvas::DirtySurface) << "the next use tries again";
    canvas.Prepare();
    EXPECT_EQ(canvas.Bitmap(), nullptr);
    canvas.SetSize(200, 100);
    ASSERT_NE(canvas.Bitmap(), nullptr);
    EXPECT_EQ(SurfaceOf(canvas).dsBm.bmWidth, 200);
    EXPECT_EQ(SurfaceOf(canvas).dsBm.bmHeight, 100);
    canvas.SetSize(-5, 100);
    EXPECT_EQ(SurfaceOf(canvas).dsBm.bmWidth, 200) << "a negative side keeps the old surface";
}

TEST(MemoryCanvas, AFailedSurfaceRaisesItsMessageKeepsTheOldOneAndTriesAgain) {
    TMemoryCanvas canvas;
    canvas.SetSize(120, 80);
    HBITMAP kept = canvas.Bitmap();
    ASSERT_NE(kept, nullptr);
    {
        TFailingSurfaces failing;
        try {
            canvas.SetSize(400, 300);
            ADD_FAILURE() << "no error raised";
        } catch (const ECanvasError& error) {
            EXPECT_STREQ(error.what(), "CreateDIBSection() FAILED to create a bitmap / LastError = 8");
        }
        EXPECT_EQ(canvas.Bitmap(), kept);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BITMAP), kept) << "the old surface stays selected";
        EXPECT_TRUE(canvas.Dirty() & TMemoryCanvas::DirtySurface);
        HDC screen = GetDC(nullptr);
        EXPECT_THROW(canvas.Blit(screen, 0, 0), ECanvasError) << "every use tries again";
        ReleaseDC(nullptr, screen);
    }
    canvas.Prepare();
    EXPECT_EQ(SurfaceOf(canvas).dsBm.bmWidth, 400);
    EXPECT_EQ(GetObjectType(kept), 0u);
}

TEST(MemoryCanvas, DestructionDeletesTheSurfaceAndTheDeviceContext) {
    HBITMAP surface = nullptr;
    HDC dc = nullptr;
    {
        TMemoryCanvas canvas;
        canvas.SetSize(50, 40);
        surface = canvas.Bitmap();
        dc = canvas.Dc();
        ASSERT_NE(GetObjectType(surface), 0u);
        // An object of the caller's own may be deleted once ResetObjects has put the stock ones back.
        HPEN pen = CreatePen(PS_SOLID, 3, RGB(9, 9, 9));
        SelectObject(dc, pen);
        canvas.ResetObjects();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        EXPECT_TRUE(DeleteObject(pen));
    }
    EXPECT_EQ(GetObjectType(surface), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u);
}

} // namespace
