#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ReportListCtrl.h"
#include "core/ActivityStore.h"
#include "res/resource.h"
#include "tests/views/UiScript.h"
#include "views/DocumentsDialog.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

HWND ListOf(const Dialog& dialog)
{
    return dialog.GetDlgItem(IDC_DOCUMENTS_LIST);
}

COLORREF BackgroundOf(HWND list, int row)
{
    const auto* control = dynamic_cast<ReportListCtrl*>(Window::FromHandle(list));
    const CellColors* colors = control != nullptr ? control->GetCellColors(row) : nullptr;
    return colors != nullptr && !colors->backColors.empty() ? colors->backColors[0] : CLR_INVALID;
}

int ListClientWidth(HWND list)
{
    RECT client = {};
    ::GetClientRect(list, &client);
    return client.right;
}

// Widens or narrows the dialog until its list's client area is width pixels wide.
void FitListWidth(const Dialog& dialog, int width)
{
    for (int attempt = 0; attempt < 3 && ListClientWidth(ListOf(dialog)) != width; ++attempt) {
        const SIZE size = ui::WindowSize(dialog.m_hWnd);
        ui::Resize(dialog.m_hWnd, size.cx + width - ListClientWidth(ListOf(dialog)), size.cy);
    }
}

TEST(DocumentsDialog, ListsTitlesInOrderWithTheirSumAndNamesTheShareInTheCaption)
{
    const DocumentsDialog::DocumentMap documents = {
        {"b.txt - Editor", 75}, {"a.txt - Editor", 3700}, {"Z", 5}};
    DocumentsDialog dialog(nullptr, "editor.exe", 45, documents);
    Rows rows;
    std::string caption;
    std::vector<int> images;
    std::vector<COLORREF> backgrounds;
    HICON smallIcon = nullptr;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND list = ListOf(dialog);
        rows = ui::Rows(list);
        caption = ui::WindowText(dialog.m_hWnd);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            images.push_back(ui::ImageOf(list, row));
            backgrounds.push_back(BackgroundOf(list, row));
        }
        smallIcon = reinterpret_cast<HICON>(::SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0));
    })});

    // Byte-wise title order: "Z" (0x5A) before "a".
    EXPECT_EQ(rows, (Rows{{"Z", "0:00:05"},
                          {"a.txt - Editor", "1:01:40"},
                          {"b.txt - Editor", "0:01:15"},
                          {"", ""},
                          {"Total:", "1:03:00"}}));
    EXPECT_EQ(caption, "Statistics for 'editor.exe'. 45% from total time");
    EXPECT_EQ(images, (std::vector<int>{0, 0, 0, -1, -1}));
    EXPECT_EQ(backgrounds, (std::vector<COLORREF>{RGB(232, 232, 243), RGB(255, 255, 255),
                                                  RGB(232, 232, 243), RGB(255, 255, 255),
                                                  RGB(185, 200, 216)}));
    EXPECT_NE(smallIcon, nullptr);
}

TEST(DocumentsDialog, DesktopShowsItsEmptyTitle)
{
    ActivityStore store;
    for (int i = 0; i < 3; ++i) {
        store.IncrementTotal();
        store.AddTick("Desktop", "");
    }
    store.IncrementTotal();
    store.AddTick("shell.exe", "Start");
    const AppRecord& desktop = *store.Find("Desktop");
    DocumentsDialog dialog(nullptr, "Desktop", DocumentsDialog::PercentOf(desktop, store), desktop.documents);
    Rows rows;
    std::string caption;
    int firstImage = -2;
    UiScript::Run(dialog, {UiScript::Do([&] {
        rows = ui::Rows(ListOf(dialog));
        caption = ui::WindowText(dialog.m_hWnd);
        firstImage = ui::ImageOf(ListOf(dialog), 0);
    })});

    EXPECT_EQ(rows, (Rows{{"", "0:00:03"}, {"", ""}, {"Total:", "0:00:03"}}));
    EXPECT_EQ(firstImage, 0);
    EXPECT_EQ(caption, "Statistics for 'Desktop'. 75% from total time");
}

TEST(DocumentsDialog, CaptionShareIsTruncatedAndNeverAboveHundred)
{
    ActivityStore store;
    store.IncrementTotal();
    store.AddTick("rare.exe", "");
    for (int i = 0; i < 200; ++i) {
        store.IncrementTotal();
        store.AddTick("busy.exe", "");
    }
    EXPECT_EQ(DocumentsDialog::PercentOf(*store.Find("rare.exe"), store), 0);     // 1 of 201
    EXPECT_EQ(DocumentsDialog::PercentOf(*store.Find("busy.exe"), store), 99);    // 99.5

    // A record counted without the total (or a total of 0) never shows more than 100.
    ActivityStore uncounted;
    uncounted.AddTick("solo.exe", "");
    EXPECT_EQ(DocumentsDialog::PercentOf(*uncounted.Find("solo.exe"), uncounted), 0);
    uncounted.IncrementTotal();
    uncounted.AddTick("solo.exe", "");
    EXPECT_EQ(DocumentsDialog::PercentOf(*uncounted.Find("solo.exe"), uncounted), 100);
}

TEST(DocumentsDialog, ColumnsSplitTheListEightyToTwenty)
{
    const auto widths = [](int listWidth) {
        const DocumentsDialog::ColumnWidths split = DocumentsDialog::ColumnWidthsFor(listWidth);
        return std::vector<int>{split.documents, split.duration};
    };
    EXPECT_EQ(widths(500), (std::vector<int>{400, 99}));
    EXPECT_EQ(widths(601), (std::vector<int>{480, 120}));
    EXPECT_EQ(widths(5), (std::vector<int>{4, 0}));
}

// The template's list is wider than 500 pixels here, so the real list is measured at its opening
// width and at 601 and 733 pixels.
TEST(DocumentsDialog, ColumnsKeepTheirSplitAsTheDialogGrows)
{
    const DocumentsDialog::DocumentMap documents = {{"notes.txt", 5}};
    DocumentsDialog dialog(nullptr, "editor.exe", 100, documents);
    std::vector<int> listWidths;
    std::vector<std::vector<int>> columns;
    const auto measure = [&] {
        listWidths.push_back(ListClientWidth(ListOf(dialog)));
        columns.push_back({ListView_GetColumnWidth(ListOf(dialog), 0),
                           ListView_GetColumnWidth(ListOf(dialog), 1)});
    };
    UiScript::Run(dialog, {UiScript::Do([&] {
        measure();
        FitListWidth(dialog, 601);
        measure();
        FitListWidth(dialog, 733);
        measure();
    })});

    ASSERT_EQ(listWidths.size(), 3u);
    EXPECT_EQ(listWidths[1], 601);
    EXPECT_EQ(listWidths[2], 733);
    for (size_t i = 0; i < listWidths.size(); ++i) {
        const int first = static_cast<int>(listWidths[i] * 0.8);
        EXPECT_EQ(columns[i], (std::vector<int>{first, listWidths[i] - first - 1})) << listWidths[i];
    }
    EXPECT_EQ(columns[1], (std::vector<int>{480, 120}));
}

TEST(DocumentsDialog, GrowsBothWaysWithOkCentredBelowTheListButNeverShrinks)
{
    const DocumentsDialog::DocumentMap documents = {{"notes.txt", 5}};
    DocumentsDialog dialog(nullptr, "editor.exe", 100, documents);
    SIZE opening = {}, afterShrink = {}, afterGrow = {};
    RECT listBefore = {}, listAfter = {}, okBefore = {}, okAfter = {};
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        opening = ui::WindowSize(window);
        listBefore = ui::ChildRect(window, ListOf(dialog));
        okBefore = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        ui::Resize(window, opening.cx - 40, opening.cy - 40);
        afterShrink = ui::WindowSize(window);
        ui::Resize(window, opening.cx + 101, opening.cy + 60);
        afterGrow = ui::WindowSize(window);
        listAfter = ui::ChildRect(window, ListOf(dialog));
        okAfter = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
    })});

    EXPECT_EQ(afterShrink.cx, opening.cx);
    EXPECT_EQ(afterShrink.cy, opening.cy);
    EXPECT_EQ(afterGrow.cx, opening.cx + 101);
    EXPECT_EQ(afterGrow.cy, opening.cy + 60);
    EXPECT_EQ(listAfter.right - listAfter.left, listBefore.right - listBefore.left + 101);
    EXPECT_EQ(listAfter.bottom - listAfter.top, listBefore.bottom - listBefore.top + 60);
    // Half of 101 (truncated) to the right, the whole 60 down, the size kept.
    EXPECT_EQ(okAfter.left, okBefore.left + 50);
    EXPECT_EQ(okAfter.right, okBefore.right + 50);
    EXPECT_EQ(okAfter.top, okBefore.top + 60);
    EXPECT_EQ(okAfter.bottom, okBefore.bottom + 60);
}

} // namespace
