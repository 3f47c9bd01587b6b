// Structures that other threads' notifications point at: read only when they are wholly there and name a
// child of the receiving window; otherwise answered as the default does, and nothing crashes.
#include "ForeignSends.h"

#include "ui/NvClasses.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

const int RowHeight = 23;

class ForeignStructure : public ::testing::Test {
  protected:
    void SetUp() override {
        host = std::make_unique<TNvForm>();
        stranger = std::make_unique<TNvForm>();
        list = &Watched(host->MakeChild<TNvOwnerDrawListView>());
        combo = &host->MakeChild<TNvComboBox>();
        elsewhere = &Watched(stranger->MakeChild<TNvOwnerDrawListView>());
    }
    TNvOwnerDrawListView& Watched(TNvOwnerDrawListView& watched) {
        watched.ItemHeight = RowHeight;
        watched.SetColumnClick(true);
        watched.OnDrawItem = [this](TNvOwnerDrawListView&, const DRAWITEMSTRUCT&) { ++reached; };
        watched.OnColumnClick = [this](TNvListView&, int) { ++reached; };
        return watched;
    }

    // The structures a genuine sender would give, naming the control as their sender.
    NMLISTVIEW Click(HWND from) const {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = from;
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
        click.hdr.code = LVN_COLUMNCLICK;
        click.iSubItem = 1;
        return click;
    }
    DRAWITEMSTRUCT Draw(HWND from) const {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTVIEW;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(from));
        draw.hwndItem = from;
        return draw;
    }
    MEASUREITEMSTRUCT Measure(HWND from) const {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_LISTVIEW;
        measure.CtlID = static_cast<UINT>(GetDlgCtrlID(from));
        measure.itemHeight = 1;
        return measure;
    }
    COMPAREITEMSTRUCT Compare(HWND from) const {
        COMPAREITEMSTRUCT compare = {};
        compare.CtlType = ODT_COMBOBOX;
        compare.CtlID = static_cast<UINT>(GetDlgCtrlID(from));
        compare.hwndItem = from;
        return compare;
    }
    DELETEITEMSTRUCT Delete(HWND from) const {
        DELETEITEMSTRUCT deletion = {};
        deletion.CtlType = ODT_COMBOBOX;
        deletion.CtlID = static_cast<UINT>(GetDlgCtrlID(from));
        deletion.hwndItem = from;
        return deletion;
    }

    std::unique_ptr<TNvForm> host, stranger;
    TNvOwnerDrawListView* list = nullptr;
    TNvComboBox* combo = nullptr;
    TNvOwnerDrawListView* elsewhere = nullptr; // a kit control of another form
    int reached = 0;
    TBadPages pages;
};

// Where a refused structure lies: not mapped, read-only, running past the end of its memory, or wholly
// there but naming a window that is not a child of the receiver.
enum class TFlaw { Unmapped, ReadOnly, Straddling, ForgedSender };
const TFlaw Flaws[] = {TFlaw::Unmapped, TFlaw::ReadOnly, TFlaw::Straddling, TFlaw::ForgedSender};
const char* const FlawNames[] = {"unmapped", "read-only", "straddling", "forged sender"};

TEST_F(ForeignStructure, AFlawedStructureFromAnotherThreadIsNeitherReadNorHandedOn) {
    struct TKind {
        UINT Message;
        size_t Size;
        std::string Bytes;  // a genuine structure from a sender that is a child of the receiver
        std::string Forged; // the same from a kit control elsewhere
    };
    auto bytes = [](const auto& structure) {
        return std::string(reinterpret_cast<const char*>(&structure), sizeof structure);
    };
    HWND other = elsewhere->Handle();
    const TKind kinds[] = {
        {WM_NOTIFY, sizeof(NMLISTVIEW), bytes(Click(list->Handle())), bytes(Click(other))},
        {WM_DRAWITEM, sizeof(DRAWITEMSTRUCT), bytes(Draw(list->Handle())), bytes(Draw(other))},
        {WM_MEASUREITEM, sizeof(MEASUREITEMSTRUCT), bytes(Measure(list->Handle())), bytes(Measure(other))},
        {WM_COMPAREITEM, sizeof(COMPAREITEMSTRUCT), bytes(Compare(combo->Handle())), bytes(Compare(other))},
        {WM_DELETEITEM, sizeof(DELETEITEMSTRUCT), bytes(Delete(combo->Handle())), bytes(Delete(other))},
    };
    // The form hands them to its controls; the list and the combo box read them themselves.
    const HWND receivers[] = {host->Handle(), list->Handle(), combo->Handle()};
    for (const TKind& kind : kinds)
        for (HWND receiver : receivers)
            for (TFlaw flaw : Flaws) {
                reached = 0;
                std::string forged = kind.Forged;
                void* at = &forged[0];
                if (flaw == TFlaw::Unmapped) at = pages.Unmapped();
                if (flaw == TFlaw::ReadOnly) at = pages.ReadOnly();
                if (flaw == TFlaw::Straddling) {
                    // What lies in readable memory is genuine: only its end is missing.
                    at = pages.Straddling(kind.Size);
                    std::memcpy(at, kind.Bytes.data(), kind.Size / 2);
                }
                char className[64] = {}, trace[160];
                GetClassNameA(receiver, className, sizeof className);
                std::snprintf(trace, sizeof trace, "%s: message 0x%X to %s",
                              FlawNames[static_cast<int>(flaw)], kind.Message, className);
                SCOPED_TRACE(trace);
                std::vector<TForeignSend> sends = {{receiver, kind.Message, 0, reinterpret_cast<LPARAM>(at)}};
                TForeignRun run = SendFromOtherThread(sends);
                ASSERT_TRUE(run.Finished);
                EXPECT_EQ(run.AccessFaults, 0);
                EXPECT_TRUE(sends[0].Answered);
                EXPECT_EQ(sends[0].Result, 0) << "the default answer";
                EXPECT_EQ(reached, 0) << "a handler ran";
                if (flaw == TFlaw::ForgedSender) {
                    EXPECT_EQ(forged, kind.Forged) << "the structure was written";
                }
            }
}

TEST_F(ForeignStructure, AGenuineStructureFromAnotherThreadIsStillHandled) {
    NMLISTVIEW click = Click(list->Handle());
    DRAWITEMSTRUCT draw = Draw(list->Handle());
    MEASUREITEMSTRUCT measure = Measure(list->Handle());
    HWND form = host->Handle();
    std::vector<TForeignSend> sends = {
        {form, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click)},
        {form, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw)},
        {form, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure)},
    };
    TForeignRun run = SendFromOtherThread(sends);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.AccessFaults, 0);
    EXPECT_EQ(reached, 2) << "the column click and the row drawing";
    EXPECT_EQ(list->SortColumn, 1);
    EXPECT_EQ(sends[1].Result, TRUE);
    EXPECT_EQ(sends[2].Result, TRUE);
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(RowHeight));
}

} // namespace

namespace {

// An info tip's text buffer and a header notification's item are read or written as well: they must be
// there too.
TEST_F(ForeignStructure, TheBuffersAStructurePointsAtMustBeThereToo) {
    const TNvListColumn column[] = {{80, TNvAlignment::Left, "Name"}};
    list->AddColumns(column, 0, 96);
    list->SetInfoTipHandler([this](TNvListView&, int, int) {
        ++reached;
        return std::string("tip");
    });
    NMLVGETINFOTIPA tip = {};
    tip.hdr = {list->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(list->Handle())), LVN_GETINFOTIPA};
    tip.pszText = static_cast<char*>(pages.ReadOnly());
    tip.cchTextMax = 64;
    NMHEADERA track = {};
    track.hdr = {list->Header(), static_cast<UINT_PTR>(GetDlgCtrlID(list->Header())), HDN_ENDTRACKA};
    track.pitem = static_cast<HDITEMA*>(pages.Unmapped());
    std::vector<TForeignSend> sends = {
        {host->Handle(), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip)},
        {list->Handle(), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track)},
    };
    TForeignRun run = SendFromOtherThread(sends);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.AccessFaults, 0);
    EXPECT_EQ(reached, 0);
    for (const TForeignSend& send : sends) {
        EXPECT_TRUE(send.Answered);
        EXPECT_EQ(send.Result, 0);
    }
}

} // namespace
