#include <gtest/gtest.h>

#include <string>
#include <vector>

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

int ListClientWidth(HWND list)
{
    RECT client = {};
    ::GetClientRect(list, &client);
    return client.right;
}

std::vector<int> ColumnWidths(HWND list)
{
    return {ListView_GetColumnWidth(list, 0), ListView_GetColumnWidth(list, 1)};
}

// The desktop's empty title is a row of its own.
TEST(DocumentsDialog, ListsTitlesInOrderWithTheirSumAndNamesTheShareInTheCaption)
{
    const DocumentsDialog::DocumentMap documents = {
        {"b.txt - Editor", 75}, {"a.txt - Editor", 3700}, {"Z", 5}, {"", 3}};
    DocumentsDialog dialog(nullptr, "editor.exe", 45, documents);
    Rows rows;
    std::string caption;
    std::vector<int> images;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND list = ListOf(dialog);
        rows = ui::Rows(list);
        caption = ui::WindowText(dialog.m_hWnd);
        for (int row = 0; row < ListView_GetItemCount(list); ++row)
            images.push_back(ui::ImageOf(list, row));
        EXPECT_NE(::SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0), 0);
    })});

    // Byte-wise title order: "Z" (0x5A) before "a".
    EXPECT_EQ(rows, (Rows{{"", "0:00:03"},
                          {"Z", "0:00:05"},
                          {"a.txt - Editor", "1:01:40"},
                          {"b.txt - Editor", "0:01:15"},
                          {"", ""},
                          {"Total:", "1:03:03"}}));
    EXPECT_EQ(caption, "Statistics for 'editor.exe'. 45% from total time");
    EXPECT_EQ(images, (std::vector<int>{0, 0, 0, 0, -1, -1}));
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

// The list takes the growth both ways, its columns keep their 80:20 split (less one pixel, so no
// horizontal scroll bar), and OK stays centred below it; the dialog never shrinks.
TEST(DocumentsDialog, GrowsBothWaysWithItsColumnsAndOkCentredBelowTheList)
{
    const DocumentsDialog::DocumentMap documents = {{"notes.txt", 5}};
    DocumentsDialog dialog(nullptr, "editor.exe", 100, documents);
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        const HWND list = ListOf(dialog);
        const DocumentsDialog::ColumnWidths split = DocumentsDialog::ColumnWidthsFor(ListClientWidth(list));
        EXPECT_EQ(ColumnWidths(list), (std::vector<int>{split.documents, split.duration}));
        const SIZE opening = ui::WindowSize(window);
        const RECT listBefore = ui::ChildRect(window, list);
        const RECT okBefore = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        ui::Resize(window, opening.cx - 40, opening.cy - 40);
        EXPECT_EQ(ui::WindowSize(window).cx, opening.cx);
        EXPECT_EQ(ui::WindowSize(window).cy, opening.cy);

        ui::Resize(window, opening.cx + 101, opening.cy + 60);
        EXPECT_EQ(ui::BoxOf(ui::ChildRect(window, list)), ui::BoxOf(listBefore, 0, 0, 101, 60));
        // Half of 101 (truncated) to the right, the whole 60 down, the size kept.
        EXPECT_EQ(ui::BoxOf(ui::ChildRect(window, dialog.GetDlgItem(IDOK))), ui::BoxOf(okBefore, 50, 60, 50, 60));

        // Widened until the list's client area is 601 pixels: 480.8 truncated, the rest less one.
        for (int attempt = 0; attempt < 3 && ListClientWidth(list) != 601; ++attempt)
            ui::Resize(window, ui::WindowSize(window).cx + 601 - ListClientWidth(list), opening.cy);
        ASSERT_EQ(ListClientWidth(list), 601);
        EXPECT_EQ(ColumnWidths(list), (std::vector<int>{480, 120}));
    })});
    EXPECT_EQ(DocumentsDialog::ColumnWidthsFor(5).duration, 0);
}

} // namespace
