// The Typecast viewer on values of this process: texts, fonts, cursors and icons, memory that goes away,
// and memory that cannot be read.
#include "ShellTestSupport.h"
#include "messages/TypeCastForm.h"
#include "messages/WindowMessage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string CaptionOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Two pages: the first readable and writable, the second not accessible at all.
class GuardedPage {
  public:
    GuardedPage() {
        SYSTEM_INFO info = {};
        GetSystemInfo(&info);
        Size = info.dwPageSize;
        Base = static_cast<char*>(VirtualAlloc(nullptr, 2 * Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (Base) VirtualProtect(Base + Size, Size, PAGE_NOACCESS, &old);
    }
    ~GuardedPage() { Free(); }
    void Free() {
        if (Base) VirtualFree(Base, 0, MEM_RELEASE);
    }
    char* Base = nullptr;
    size_t Size = 0;
};

class TypeCastViewer : public ::testing::Test {
  protected:
    void TearDown() override { TTypeCastForm::CloseAll(); }
    TTypeCastForm& Show(uintptr_t value) {
        TTypeCastForm& viewer = TTypeCastForm::Open(nullptr, value);
        UpdateWindow(viewer.Handle());
        return viewer;
    }
};

TEST_F(TypeCastViewer, AsksTheMemoryManagerHowMuchCanBeRead) {
    GuardedPage page;
    ASSERT_NE(page.Base, nullptr);
    const uintptr_t base = reinterpret_cast<uintptr_t>(page.Base);
    EXPECT_EQ(ReadableBytesAt(base, 1 << 20), page.Size);
    EXPECT_EQ(ReadableBytesAt(base + page.Size - 10, 1 << 20), 10u);
    EXPECT_EQ(ReadableBytesAt(base + page.Size, 1 << 20), 0u);
    EXPECT_EQ(ReadableBytesAt(base, 100), 100u);
    EXPECT_EQ(ReadableBytesAt(0, 100), 0u);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(page.Base, page.Size, PAGE_READONLY | PAGE_GUARD, &old));
    EXPECT_EQ(ReadableBytesAt(base, 100), 0u);
    page.Free();
    EXPECT_EQ(ReadableBytesAt(base, 100), 0u);
    page.Base = nullptr;
}

TEST_F(TypeCastViewer, ZeroIsInvalidAndShowsNotApplicable) {
    TTypeCastForm& viewer = TTypeCastForm::Open(nullptr, 0);
    EXPECT_EQ(CaptionOf(viewer.Handle()), "TypeCast"); // until the first paint
    UpdateWindow(viewer.Handle());
    EXPECT_EQ(viewer.Kind, tkInvalid);
    EXPECT_EQ(CaptionOf(viewer.Handle()), "invalid(0x0)");
    EXPECT_EQ(viewer.ViewText(), "n/a");
}

TEST_F(TypeCastViewer, ATextInMemoryIsAString) {
    static const char text[] = "abc\tdef";
    TTypeCastForm& viewer = Show(reinterpret_cast<uintptr_t>(text));
    EXPECT_EQ(viewer.Kind, tkString);
    EXPECT_EQ(CaptionOf(viewer.Handle()).rfind("string(0x", 0), 0u);
    EXPECT_EQ(viewer.ViewText(), "abc\tdef");
}

TEST_F(TypeCastViewer, FontsShowFaceHeightWidthAndWeight) {
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(ppi, 96) << "the expected texts are those of a 96 ppi surface";
    TFont font(CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    TTypeCastForm& viewer = Show(reinterpret_cast<uintptr_t>(font.Get()));
    EXPECT_EQ(viewer.Kind, tkFont);
    EXPECT_EQ(CaptionOf(viewer.Handle()),
              TypeCastCaption(tkFont, reinterpret_cast<uintptr_t>(font.Get())) + " = Tahoma");
    EXPECT_EQ(viewer.ViewText(),
              "Face:\tTahoma\r\nHeight:\t9 pt, -13 log, 96 ppi\r\nWidth:\t0\r\nWeight:\t700 (boldness)");
    // A font deleted meanwhile leaves only the caption.
    font.Reset();
    EXPECT_EQ(viewer.ViewText(), "");
}

TEST_F(TypeCastViewer, CursorsAndIconsShowTheirHotspotAndType) {
    struct {
        HICON Handle;
        const char* Type;
    } cases[] = {
        {LoadCursor(nullptr, IDC_ARROW), "Cursor"},
        {LoadIcon(nullptr, IDI_APPLICATION), "Icon"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Type);
        ASSERT_NE(c.Handle, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(c.Handle, &info));
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        TTypeCastForm& viewer = Show(reinterpret_cast<uintptr_t>(c.Handle));
        EXPECT_EQ(viewer.Kind, tkIcon);
        EXPECT_EQ(CaptionOf(viewer.Handle()),
                  TypeCastCaption(tkIcon, reinterpret_cast<uintptr_t>(c.Handle)) + " = " + c.Type);
        EXPECT_EQ(viewer.ViewText(), IconViewText(static_cast<int32_t>(info.xHotspot),
                                                  static_cast<int32_t>(info.yHotspot), info.fIcon != FALSE));
    }
}

TEST_F(TypeCastViewer, KeepsItsOwnCopyAndNeverReadsPastTheReadableMemory) {
    GuardedPage page;
    ASSERT_NE(page.Base, nullptr);
    // A "string" with no zero byte before the memory that cannot be read.
    memset(page.Base, 'x', page.Size);
    TTypeCastForm& viewer = Show(reinterpret_cast<uintptr_t>(page.Base));
    EXPECT_EQ(viewer.Kind, tkString);
    EXPECT_EQ(viewer.ViewText(), std::string(page.Size, 'x'));
    const size_t pageSize = page.Size;
    // The memory goes; the viewer repaints from its copy.
    page.Free();
    page.Base = nullptr;
    InvalidateRect(viewer.Handle(), nullptr, TRUE);
    UpdateWindow(viewer.Handle());
    EXPECT_EQ(viewer.ViewText(), std::string(pageSize, 'x'));
}

TEST_F(TypeCastViewer, ABufferViewerCopiesExactlyTheBuffer) {
    char buffer[4] = {'a', 'b', 'c', 'd'}; // no zero byte
    TTypeCastForm& viewer =
        TTypeCastForm::Open(nullptr, reinterpret_cast<uintptr_t>(buffer), buffer, sizeof buffer);
    EXPECT_EQ(viewer.Snapshot(), "abcd");
    EXPECT_EQ(viewer.ViewText(), "abcd");
}

TEST_F(TypeCastViewer, ClosingFreesTheViewer) {
    TTypeCastForm& first = Show(0);
    Show(0);
    ASSERT_EQ(TTypeCastForm::OpenCount(), 2);
    HWND window = first.Handle();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TTypeCastForm::OpenCount(), 1);
    TTypeCastForm::CloseAll();
    EXPECT_EQ(TTypeCastForm::OpenCount(), 0);
    EXPECT_EQ(FindWindowA("TTypeCastForm", nullptr), nullptr);
}

} // namespace
