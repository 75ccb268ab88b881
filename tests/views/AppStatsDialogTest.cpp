#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ReportListCtrl.h"
#include "core/ActivityStore.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/views/UiScript.h"
#include "views/AppStatsDialog.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Steps = std::vector<UiScript::Step>;
constexpr char kDocumentsCaption[] = "Statistics for '";

// ticks seconds of app in the foreground with the window title title, as the sampler counts them.
void Count(ActivityStore& store, const std::string& app, const std::string& title, int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        store.IncrementTotal();
        store.AddTick(app, title);
    }
}

HWND ListOf(const Dialog& dialog)
{
    return dialog.GetDlgItem(IDC_APPSTATS_LIST);
}

// Waits for the dialog whose caption begins with prefix, runs read on it and closes it.
Steps ReadAndClose(const std::string& prefix, std::function<void(HWND)> read)
{
    return {
        [prefix] { return ui::FindDialog(prefix) != nullptr; },
        UiScript::Do([prefix, read] {
            const HWND window = ui::FindDialog(prefix);
            read(window);
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }),
        [prefix] { return ui::FindDialog(prefix) == nullptr; },
    };
}

Steps ReadAndCloseDocuments(std::string& caption, Rows& rows)
{
    return ReadAndClose(kDocumentsCaption, [&caption, &rows](HWND documents) {
        caption = ui::WindowText(documents);
        rows = ui::Rows(::GetDlgItem(documents, IDC_DOCUMENTS_LIST));
    });
}

Steps Concat(std::vector<Steps> parts)
{
    Steps steps;
    for (auto& part : parts)
        steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

COLORREF BackgroundOf(HWND list, int row)
{
    const auto* control = dynamic_cast<ReportListCtrl*>(Window::FromHandle(list));
    const CellColors* colors = control != nullptr ? control->GetCellColors(row) : nullptr;
    return colors != nullptr && !colors->backColors.empty() ? colors->backColors[0] : CLR_INVALID;
}

// Rounded shares of 2, 3 and 4 seconds add up to 99; "Total:" still shows 100%. The stripes are
// recoloured after the sort, whose arrow points down on "Time", and the list borrows the
// caller's images.
TEST(AppStatsDialog, RowsShowRoundedSharesLargestTimeFirstWithIconsAndStripes)
{
    ActivityStore store;
    Count(store, "a.exe", "A", 2);
    Count(store, "b.exe", "B", 4);
    Count(store, "c.exe", "C", 3);
    store.SetIconIndex("a.exe", 1);
    store.SetIconIndex("b.exe", 2);
    const HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR16, 3, 1);
    for (UINT icon : {IDI_APPLICATION_GENERIC, IDI_DOCUMENT, IDI_STATS})
        ::ImageList_AddIcon(images, ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon)));
    AppStatsDialog dialog(images, store, nullptr);
    Rows rows;
    std::vector<int> icons, arrows;
    std::vector<COLORREF> backgrounds;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND list = ListOf(dialog);
        rows = ui::Rows(list);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            icons.push_back(ui::ImageOf(list, row));
            backgrounds.push_back(BackgroundOf(list, row));
        }
        for (int column = 0; column < 3; ++column) {
            HDITEMA heading = {};
            heading.mask = HDI_FORMAT;
            Header_GetItem(ListView_GetHeader(list), column, &heading);
            arrows.push_back(heading.fmt & (HDF_SORTUP | HDF_SORTDOWN));
        }
        EXPECT_EQ(ListView_GetImageList(list, LVSIL_SMALL), images);
    })});
    EXPECT_EQ(::ImageList_GetImageCount(images), 3);
    ::ImageList_Destroy(images);

    EXPECT_EQ(rows, (Rows{{"b.exe", "0:00:04", "44%"},
                          {"c.exe", "0:00:03", "33%"},
                          {"a.exe", "0:00:02", "22%"},
                          {"", "", ""},
                          {"Total:", "0:00:09", "100%"}}));
    EXPECT_EQ(icons, (std::vector<int>{2, 0, 1, -1, -1}));
    EXPECT_EQ(arrows, (std::vector<int>{0, HDF_SORTDOWN, 0}));
    const COLORREF stripe = RGB(232, 232, 243), white = RGB(255, 255, 255);
    EXPECT_EQ(backgrounds, (std::vector<COLORREF>{stripe, white, stripe, white, RGB(185, 200, 216)}));

    ActivityStore empty;
    AppStatsDialog emptyDialog(nullptr, empty, nullptr);
    UiScript::Run(emptyDialog, {UiScript::Do([&] { rows = ui::Rows(ListOf(emptyDialog)); })});
    EXPECT_EQ(rows, (Rows{{"", "", ""}, {"Total:", "0:00:00", "100%"}}));
}

// 456 of 1000 seconds: 45.6 per cent, rounded in the row, dropped to 45 in the documents caption.
// With several rows selected, Details opens the topmost.
TEST(AppStatsDialog, DoubleClickAndDetailsOpenTheDocumentsWithTheTruncatedShare)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 400);
    Count(store, "editor.exe", "draft.txt", 56);
    Count(store, "other.exe", "Other", 544);
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows rows, documents, otherDocuments;
    std::string caption, otherCaption;
    bool disabledWhileOpen = false;
    bool enabledAfter = false;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] {
            rows = ui::Rows(ListOf(dialog));
            ui::PostDoubleClick(ListOf(dialog), 1);
        }),
         [&] { return ui::FindDialog(kDocumentsCaption) != nullptr; },
         UiScript::Do([&] { disabledWhileOpen = !::IsWindowEnabled(dialog.m_hWnd); })},
        ReadAndCloseDocuments(caption, documents),
        {UiScript::Do([&] {
            enabledAfter = ::IsWindowEnabled(dialog.m_hWnd) != FALSE;
            ui::Select(ListOf(dialog), {0, 1});
            ui::PostClick(dialog.m_hWnd, IDC_DETAILS);
        })},
        ReadAndCloseDocuments(otherCaption, otherDocuments),
    }));

    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"editor.exe", "0:07:36", "46%"}));
    EXPECT_EQ(caption, "Statistics for 'editor.exe'. 45% from total time");
    EXPECT_EQ(documents, (Rows{{"draft.txt", "0:00:56"},
                               {"notes.txt", "0:06:40"},
                               {"", ""},
                               {"Total:", "0:07:36"}}));
    EXPECT_TRUE(disabledWhileOpen);
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(otherCaption, "Statistics for 'other.exe'. 54% from total time");
    EXPECT_EQ(otherDocuments, (Rows{{"Other", "0:09:04"}, {"", ""}, {"Total:", "0:09:04"}}));
}

// Details with nothing selected and a double-click below the rows each show the stop sign over
// the dialog; Details or a double-click on the blank and "Total:" rows opens nothing.
TEST(AppStatsDialog, RowsThatNameNoApplicationOpenNothing)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 2);
    AppStatsDialog dialog(nullptr, store, nullptr);
    std::vector<ui::MessageBoxContent> boxes;
    std::vector<HWND> owners;
    const Steps readBox = ReadAndClose(AppTitle(), [&](HWND box) {
        boxes.push_back(ui::ReadMessageBox(box));
        owners.push_back(::GetWindow(box, GW_OWNER));
    });
    std::vector<size_t> ownedAfterEach;
    const auto noteOwned = UiScript::Do([&] { ownedAfterEach.push_back(ui::OwnedWindows(dialog.m_hWnd).size()); });
    Steps rowSteps;
    for (int row : {1, 2})
        rowSteps.insert(rowSteps.end(), {
            UiScript::Do([&, row] { ui::Select(ListOf(dialog), {row}); ui::PostClick(dialog.m_hWnd, IDC_DETAILS); }),
            UiScript::Wait(200), noteOwned,
            UiScript::Do([&, row] { ui::PostDoubleClick(ListOf(dialog), row); }),
            UiScript::Wait(200), noteOwned});
    HWND dialogWindow = nullptr;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] {
            dialogWindow = dialog.m_hWnd;
            ui::PostClick(dialog.m_hWnd, IDC_DETAILS);
        })},
        readBox,
        {UiScript::Do([&] { ui::PostDoubleClick(ListOf(dialog), -1); })},
        readBox,
        rowSteps,
    }));

    ASSERT_EQ(boxes.size(), 2u);
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, LoadResString(IDS_NO_SELECTION));
        EXPECT_EQ(boxes[i].icon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(owners[i], dialogWindow);
    }
    EXPECT_EQ(ownedAfterEach, (std::vector<size_t>{0, 0, 0, 0}));
}

// The sampler goes on while the dialog is open: its rows stay as they opened, the documents
// caption takes the counts of the moment, and a Clear makes the rows name nothing.
TEST(AppStatsDialog, RowsStayWhileTheStoreCountsAndDocumentsUseTheCurrentCounts)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 1);
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows before, after, documents, documentsAfterClear;
    std::string caption;
    size_t ownedAfterClear = 99;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] { before = ui::Rows(ListOf(dialog)); }),
         UiScript::Do([&] { Count(store, "other.exe", "Other", 3); }),
         UiScript::Do([&] {
             after = ui::Rows(ListOf(dialog));
             ui::PostDoubleClick(ListOf(dialog), 0);
         }),
         [] { return ui::FindDialog(kDocumentsCaption) != nullptr; },
         // A Clear while the documents are open does not reach them.
         UiScript::Do([&] { store.Clear(); }),
         UiScript::Wait(50),
         UiScript::Do([&] {
             documentsAfterClear = ui::Rows(::GetDlgItem(ui::FindDialog(kDocumentsCaption), IDC_DOCUMENTS_LIST));
         })},
        ReadAndCloseDocuments(caption, documents),
        {UiScript::Do([&] { ui::PostDoubleClick(ListOf(dialog), 0); }),
         UiScript::Wait(200),
         UiScript::Do([&] { ownedAfterClear = ui::OwnedWindows(dialog.m_hWnd).size(); })},
    }));

    EXPECT_EQ(before, (Rows{{"editor.exe", "0:00:01", "100%"}, {"", "", ""}, {"Total:", "0:00:01", "100%"}}));
    EXPECT_EQ(after, before);
    EXPECT_EQ(caption, "Statistics for 'editor.exe'. 25% from total time");
    EXPECT_EQ(documents, (Rows{{"notes.txt", "0:00:01"}, {"", ""}, {"Total:", "0:00:01"}}));
    EXPECT_EQ(documentsAfterClear, documents);
    EXPECT_EQ(ownedAfterClear, 0u);
}

TEST(AppStatsDialog, GrowsOnlyInHeightWithTheListAndNeverBelowItsOpeningSize)
{
    ActivityStore store;
    AppStatsDialog dialog(nullptr, store, nullptr);
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        const SIZE opening = ui::WindowSize(window);
        const RECT list = ui::ChildRect(window, ListOf(dialog));
        const RECT ok = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        ui::Resize(window, opening.cx - 50, opening.cy - 50);
        EXPECT_EQ(ui::WindowSize(window).cx, opening.cx);
        EXPECT_EQ(ui::WindowSize(window).cy, opening.cy);
        ui::Resize(window, opening.cx + 80, opening.cy + 100);
        EXPECT_EQ(ui::WindowSize(window).cx, opening.cx);
        EXPECT_EQ(ui::WindowSize(window).cy, opening.cy + 100);
        EXPECT_EQ(ui::BoxOf(ui::ChildRect(window, ListOf(dialog))), ui::BoxOf(list, 0, 0, 0, 100));
        EXPECT_EQ(ui::BoxOf(ui::ChildRect(window, dialog.GetDlgItem(IDOK))), ui::BoxOf(ok));
    })});
}

} // namespace
