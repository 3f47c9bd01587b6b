// TMemoryCanvas: the surface is made lazily, on the first use after a size change.
#include "tabs/MemoryCanvas.h"

#include "app/QrLib.h"

TCreateDibSection CanvasCreateDibSection = CreateDIBSection;

TMemoryCanvas::TMemoryCanvas() : dc(nullptr) {
    if (dc) initialBitmap = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    bitmapInfo.bmiHeader.biSize = sizeof bitmapInfo.bmiHeader;
    bitmapInfo.bmiHeader.biPlanes = 1;
    bitmapInfo.bmiHeader.biBitCount = 32;
    bitmapInfo.bmiHeader.biCompression = BI_RGB;
    bitmapInfo.bmiHeader.biWidth = width;
    bitmapInfo.bmiHeader.biHeight = height;
}

// The device context's own bitmap goes back in before the members delete the surface and then the device
// context, so nothing selected dies.
TMemoryCanvas::~TMemoryCanvas() {
    if (dc && initialBitmap) SelectObject(dc.Get(), initialBitmap);
}

void TMemoryCanvas::SetWidth(int value) {
    if (value == width) return;
    width = value;
    Invalidate(DirtySurface);
}

void TMemoryCanvas::SetHeight(int value) {
    if (value == height) return;
    height = value;
    Invalidate(DirtySurface);
}

void TMemoryCanvas::SetSize(int w, int h) {
    SetWidth(w);
    SetHeight(h);
    Prepare();
}

void TMemoryCanvas::Prepare() {
    if (dirty & DirtySurface) RecreateSurface();
}

DWORD TMemoryCanvas::Blit(HDC target, int x, int y) {
    Prepare();
    SetLastError(ERROR_SUCCESS);
    if (BitBlt(target, x, y, width, height, dc.Get(), 0, 0, SRCCOPY)) return 0;
    DWORD error = GetLastError();
    return error ? error : ERROR_INVALID_HANDLE;
}

void TMemoryCanvas::ResetObjects() {
    if (!dc) return;
    SelectObject(dc.Get(), GetStockObject(WHITE_BRUSH));
    SelectObject(dc.Get(), GetStockObject(BLACK_PEN));
    SelectObject(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
}

void TMemoryCanvas::RecreateSurface() {
    BITMAPINFOHEADER& header = bitmapInfo.bmiHeader;
    header.biWidth = width;
    header.biHeight = height;
    // Negative sides make no surface either; the image size is computed wide so that it cannot wrap.
    const int64_t imageSize = static_cast<int64_t>(width) * height * header.biBitCount / 8;
    header.biSizeImage = imageSize > 0 && imageSize <= UINT32_MAX ? static_cast<DWORD>(imageSize) : 0;
    if (width <= 0 || height <= 0) return;

    void* newBits = nullptr;
    TBitmap created(CanvasCreateDibSection(dc.Get(), &bitmapInfo, DIB_RGB_COLORS, &newBits, nullptr, 0));
    if (!created)
        throw ECanvasError(FormatText("CreateDIBSection() FAILED to create a bitmap / LastError = %d",
                                      static_cast<int>(GetLastError())));
    HGDIOBJ previous = SelectObject(dc.Get(), created.Get());
    if (!previous || previous == HGDI_ERROR) {
        // The old surface stays selected and in use; the new one goes with its owner.
        const int error = static_cast<int>(GetLastError());
        throw ECanvasError(FormatText("SelectObject() FAILED to select bitmap / LastError = %d", error));
    }
    // The old surface is out of the device context now, so its owner may delete it.
    bitmap = std::move(created);
    bits = newBits;
    dirty &= ~DirtySurface;
}
