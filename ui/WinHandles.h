// Move-only owners for the platform's handles: kernel handles, device contexts, GDI objects, selections.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

// Owns a kernel HANDLE (process, thread, snapshot, file); closes it once.
class TKernelHandle {
  public:
    TKernelHandle() = default;
    explicit TKernelHandle(HANDLE handle) : h(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    TKernelHandle(TKernelHandle&& other) noexcept : h(std::exchange(other.h, nullptr)) {}
    TKernelHandle& operator=(TKernelHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.h, nullptr));
        return *this;
    }
    TKernelHandle(const TKernelHandle&) = delete;
    TKernelHandle& operator=(const TKernelHandle&) = delete;
    ~TKernelHandle() { Reset(); }

    HANDLE Get() const { return h; }
    explicit operator bool() const { return h != nullptr; }
    void Reset(HANDLE handle = nullptr) {
        if (h) CloseHandle(h);
        h = handle;
    }

  private:
    HANDLE h = nullptr;
};

// A device context from GetDC or GetWindowDC, released to its window.
class TWindowDc {
  public:
    explicit TWindowDc(HWND window, bool wholeWindow = false)
        : hWindow(window), hDc(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    TWindowDc(TWindowDc&& other) noexcept
        : hWindow(std::exchange(other.hWindow, nullptr)), hDc(std::exchange(other.hDc, nullptr)) {}
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    TWindowDc& operator=(TWindowDc&&) = delete;
    ~TWindowDc() {
        if (hDc) ReleaseDC(hWindow, hDc);
    }

    HDC Get() const { return hDc; }
    explicit operator bool() const { return hDc != nullptr; }

  private:
    HWND hWindow;
    HDC hDc;
};

// A memory device context from CreateCompatibleDC, deleted when done.
class TMemoryDc {
  public:
    explicit TMemoryDc(HDC compatibleWith) : hDc(CreateCompatibleDC(compatibleWith)) {}
    TMemoryDc(TMemoryDc&& other) noexcept : hDc(std::exchange(other.hDc, nullptr)) {}
    TMemoryDc(const TMemoryDc&) = delete;
    TMemoryDc& operator=(const TMemoryDc&) = delete;
    TMemoryDc& operator=(TMemoryDc&&) = delete;
    ~TMemoryDc() {
        if (hDc) DeleteDC(hDc);
    }

    HDC Get() const { return hDc; }
    explicit operator bool() const { return hDc != nullptr; }

  private:
    HDC hDc;
};

// Owns one GDI object (font, brush, pen, bitmap) of type T.
template <class T> class TGdiObject {
  public:
    TGdiObject() = default;
    explicit TGdiObject(T object) : h(object) {}
    TGdiObject(TGdiObject&& other) noexcept : h(std::exchange(other.h, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.h, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    ~TGdiObject() { Reset(); }

    T Get() const { return h; }
    explicit operator bool() const { return h != nullptr; }
    void Reset(T object = nullptr) {
        if (h) DeleteObject(h);
        h = object;
    }

  private:
    T h = nullptr;
};

using TFont = TGdiObject<HFONT>;
using TBrush = TGdiObject<HBRUSH>;
using TPen = TGdiObject<HPEN>;
using TBitmap = TGdiObject<HBITMAP>;

// Selects an object into a device context and puts the previous one back on scope exit.
class TSelectGuard {
  public:
    TSelectGuard(HDC dc, HGDIOBJ object) : hDc(dc), hPrevious(SelectObject(dc, object)) {}
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;
    ~TSelectGuard() {
        if (hPrevious && hPrevious != HGDI_ERROR) SelectObject(hDc, hPrevious);
    }

  private:
    HDC hDc;
    HGDIOBJ hPrevious;
};

// The paint bracket of a WM_PAINT: BeginPaint now, EndPaint on every way out, a throwing painter included.
class TPaintDc {
  public:
    explicit TPaintDc(HWND window) : hWindow(window), hDc(BeginPaint(window, &paint)) {}
    TPaintDc(const TPaintDc&) = delete;
    TPaintDc& operator=(const TPaintDc&) = delete;
    ~TPaintDc() {
        if (hDc) EndPaint(hWindow, &paint);
    }

    HDC Get() const { return hDc; }
    explicit operator bool() const { return hDc != nullptr; }
    // The part of the window that needs painting.
    const RECT& Area() const { return paint.rcPaint; }

  private:
    HWND hWindow;
    PAINTSTRUCT paint = {};
    HDC hDc;
};

// A memory bitmap to paint into and then copy to the screen at once, so that frequent repaints do not
// flicker. Kept between paints; made anew when the size changes.
class TBackBuffer {
  public:
    // A memory device context of the given size with the bitmap selected; null when none can be made.
    HDC Prepare(HDC screen, int width, int height) {
        if (!select || width != size.cx || height != size.cy) {
            select.reset(); // the old bitmap must leave its device context before it is deleted
            bitmap.Reset();
            dc.reset();
            size = {width, height};
            if (width <= 0 || height <= 0) return nullptr;
            bitmap.Reset(CreateCompatibleBitmap(screen, width, height));
            if (bitmap) dc = std::make_unique<TMemoryDc>(screen);
            if (dc && *dc) select = std::make_unique<TSelectGuard>(dc->Get(), bitmap.Get());
        }
        return select ? dc->Get() : nullptr;
    }

  private:
    std::unique_ptr<TMemoryDc> dc;
    TBitmap bitmap;
    std::unique_ptr<TSelectGuard> select;
    SIZE size = {0, 0};
};

// A control draws nothing between the start and the end of a refill and may draw again on every way out:
// drawing after every inserted row made a refill cost tens of milliseconds per row. The control may then be
// invalidated whole, for a control that does not repaint itself when drawing is turned back on. Resume draws
// again before the scope ends, for a caller that goes on to change other windows.
class TRedrawOff {
  public:
    enum TRepaint { NoRepaint, Repaint, RepaintErased };
    explicit TRedrawOff(HWND window, TRepaint repaint = NoRepaint) : hWindow(window), after(repaint) {
        SendMessageA(hWindow, WM_SETREDRAW, FALSE, 0);
    }
    TRedrawOff(const TRedrawOff&) = delete;
    TRedrawOff& operator=(const TRedrawOff&) = delete;
    ~TRedrawOff() { Resume(); }
    void Resume() {
        if (!hWindow) return;
        SendMessageA(hWindow, WM_SETREDRAW, TRUE, 0);
        if (after != NoRepaint) InvalidateRect(hWindow, nullptr, after == RepaintErased ? TRUE : FALSE);
        hWindow = nullptr;
    }

  private:
    HWND hWindow;
    TRepaint after;
};

// Puts the keyboard focus back where it was when a modal dialog or message box closes: the platform hands
// it to the dialog's owner window (or to whatever it activates next) instead.
class TFocusReturn {
  public:
    TFocusReturn() : hFocus(GetFocus()) {}
    TFocusReturn(const TFocusReturn&) = delete;
    TFocusReturn& operator=(const TFocusReturn&) = delete;
    ~TFocusReturn() {
        if (!hFocus || !IsWindow(hFocus) || GetFocus() == hFocus) return;
        HWND root = GetAncestor(hFocus, GA_ROOT);
        if (root && GetForegroundWindow() != root) SetForegroundWindow(root);
        SetFocus(hFocus);
    }

  private:
    HWND hFocus;
};

// A module loaded with LoadLibrary; freed once.
class TLibraryModule {
  public:
    TLibraryModule() = default;
    explicit TLibraryModule(HMODULE module) : h(module) {}
    TLibraryModule(TLibraryModule&& other) noexcept : h(std::exchange(other.h, nullptr)) {}
    TLibraryModule& operator=(TLibraryModule&& other) noexcept {
        if (this != &other) {
            if (h) FreeLibrary(h);
            h = std::exchange(other.h, nullptr);
        }
        return *this;
    }
    TLibraryModule(const TLibraryModule&) = delete;
    TLibraryModule& operator=(const TLibraryModule&) = delete;
    ~TLibraryModule() {
        if (h) FreeLibrary(h);
    }

    HMODULE Get() const { return h; }
    explicit operator bool() const { return h != nullptr; }

  private:
    HMODULE h = nullptr;
};

// A hook from SetWindowsHookEx; removed once.
class TWindowsHook {
  public:
    TWindowsHook() = default;
    explicit TWindowsHook(HHOOK hook) : h(hook) {}
    TWindowsHook(TWindowsHook&& other) noexcept : h(std::exchange(other.h, nullptr)) {}
    TWindowsHook& operator=(TWindowsHook&& other) noexcept {
        if (this != &other) {
            if (h) UnhookWindowsHookEx(h);
            h = std::exchange(other.h, nullptr);
        }
        return *this;
    }
    TWindowsHook(const TWindowsHook&) = delete;
    TWindowsHook& operator=(const TWindowsHook&) = delete;
    ~TWindowsHook() {
        if (h) UnhookWindowsHookEx(h);
    }

    HHOOK Get() const { return h; }
    explicit operator bool() const { return h != nullptr; }

  private:
    HHOOK h = nullptr;
};

// A view of a file mapping from MapViewOfFile; unmapped once.
class TMappedView {
  public:
    TMappedView() = default;
    explicit TMappedView(void* view) : p(view) {}
    TMappedView(TMappedView&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    TMappedView& operator=(TMappedView&& other) noexcept {
        if (this != &other) {
            if (p) UnmapViewOfFile(p);
            p = std::exchange(other.p, nullptr);
        }
        return *this;
    }
    TMappedView(const TMappedView&) = delete;
    TMappedView& operator=(const TMappedView&) = delete;
    ~TMappedView() {
        if (p) UnmapViewOfFile(p);
    }

    void* Get() const { return p; }
    explicit operator bool() const { return p != nullptr; }

  private:
    void* p = nullptr;
};
