#include <gtest/gtest.h>

#include <algorithm>
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

// Waits for the documents dialog, records its caption and rows, and closes it.
std::vector<UiScript::Step> ReadAndCloseDocuments(std::string& caption, Rows& rows)
{
    return {
        [] { return ui::FindDialog("Statistics for '") != nullptr; },
        UiScript::Do([&caption, &rows] {
            const HWND documents = ui::FindDialog("Statistics for '");
            caption = ui::WindowText(documents);
            rows = ui::Rows(::GetDlgItem(documents, IDC_DOCUMENTS_LIST));
            ::PostMessageA(documents, WM_COMMAND, IDCANCEL, 0);
        }),
        [] { return ui::FindDialog("Statistics for '") == nullptr; },
    };
}

std::vector<UiScript::Step> Concat(std::vector<std::vector<UiScript::Step>> parts)
{
    std::vector<UiScript::Step> steps;
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

TEST(AppStatsDialog, EmptyStoreShowsOnlyTheBlankRowAndTotal)
{
    ActivityStore store;
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows rows;
    std::string caption;
    int clientWidth = 0;
    std::vector<int> widths;
    HICON smallIcon = nullptr;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND list = ListOf(dialog);
        rows = ui::Rows(list);
        caption = ui::WindowText(dialog.m_hWnd);
        RECT client = {};
        ::GetClientRect(list, &client);
        clientWidth = client.right;
        for (int column = 0; column < 3; ++column)
            widths.push_back(ListView_GetColumnWidth(list, column));
        smallIcon = reinterpret_cast<HICON>(::SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0));
    })});

    EXPECT_EQ(rows, (Rows{{"", "", ""}, {"Total:", "0:00:00", "100%"}}));
    EXPECT_EQ(caption, "Application statistics");
    EXPECT_EQ(widths, (std::vector<int>{clientWidth / 2, clientWidth / 2 / 2, clientWidth / 2 / 2}));
    EXPECT_NE(smallIcon, nullptr);
}

TEST(AppStatsDialog, RowsShowRoundedSharesLargestTimeFirstWithIconsAndStripes)
{
    ActivityStore store;
    Count(store, "a.exe", "A", 1);
    Count(store, "b.exe", "B", 5);
    Count(store, "c.exe", "C", 3);
    store.SetIconIndex("a.exe", 1);
    store.SetIconIndex("b.exe", 2);
    const HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR16, 3, 1);
    for (UINT icon : {IDI_APPLICATION_GENERIC, IDI_DOCUMENT, IDI_STATS})
        ::ImageList_AddIcon(images, ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon)));
    AppStatsDialog dialog(images, store, nullptr);
    Rows rows;
    std::vector<int> icons;
    std::vector<COLORREF> backgrounds;
    HIMAGELIST shownImages = nullptr;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND list = ListOf(dialog);
        rows = ui::Rows(list);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            icons.push_back(ui::ImageOf(list, row));
            backgrounds.push_back(BackgroundOf(list, row));
        }
        shownImages = ListView_GetImageList(list, LVSIL_SMALL);
    })});
    // The images are the main window's: they outlive the dialog.
    EXPECT_EQ(::ImageList_GetImageCount(images), 3);
    ::ImageList_Destroy(images);

    EXPECT_EQ(rows, (Rows{{"b.exe", "0:00:05", "56%"},
                          {"c.exe", "0:00:03", "33%"},
                          {"a.exe", "0:00:01", "11%"},
                          {"", "", ""},
                          {"Total:", "0:00:09", "100%"}}));
    EXPECT_EQ(icons, (std::vector<int>{2, 0, 1, -1, -1}));
    EXPECT_EQ(backgrounds, (std::vector<COLORREF>{RGB(232, 232, 243), RGB(255, 255, 255),
                                                  RGB(232, 232, 243), RGB(255, 255, 255),
                                                  RGB(185, 200, 216)}));
    EXPECT_EQ(shownImages, images);
}

TEST(AppStatsDialog, EqualSharesEachShowTheirRoundedPercentAndTheTotalStaysAtHundred)
{
    ActivityStore store;
    Count(store, "one.exe", "", 1);
    Count(store, "two.exe", "", 1);
    Count(store, "three.exe", "", 1);
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows rows;
    UiScript::Run(dialog, {UiScript::Do([&] { rows = ui::Rows(ListOf(dialog)); })});

    ASSERT_EQ(rows.size(), 5u);
    std::vector<std::string> names;
    for (int row = 0; row < 3; ++row) {
        names.push_back(rows[row][0]);
        EXPECT_EQ(rows[row][1], "0:00:01");
        EXPECT_EQ(rows[row][2], "33%");
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.exe", "three.exe", "two.exe"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{"Total:", "0:00:03", "100%"}));
}

// 456 of 1000 seconds: 45.6 per cent, rounded in the row, dropped to 45 in the documents caption.
TEST(AppStatsDialog, DoubleClickOpensTheDocumentsWithTheTruncatedShare)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 400);
    Count(store, "editor.exe", "draft.txt", 56);
    Count(store, "other.exe", "Other", 544);
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows rows;
    Rows documents;
    std::string caption;
    bool disabledWhileOpen = false;
    bool enabledAfter = false;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] {
            rows = ui::Rows(ListOf(dialog));
            ui::PostDoubleClick(ListOf(dialog), 1);
        }),
         [&] { return ui::FindDialog("Statistics for '") != nullptr; },
         UiScript::Do([&] { disabledWhileOpen = !::IsWindowEnabled(dialog.m_hWnd); })},
        ReadAndCloseDocuments(caption, documents),
        {UiScript::Do([&] { enabledAfter = ::IsWindowEnabled(dialog.m_hWnd) != FALSE; })},
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
}

TEST(AppStatsDialog, DetailsWithoutSelectionShowsTheStopSignMessageAndTheDialogStays)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 2);
    AppStatsDialog dialog(nullptr, store, nullptr);
    HWND dialogWindow = nullptr;
    std::vector<ui::MessageBoxContent> boxes;
    std::vector<HWND> owners;
    bool stillOpen = false;
    const auto readAndCloseBox = std::vector<UiScript::Step>{
        [&] { return ui::FindDialog(AppTitle()) != nullptr; },
        UiScript::Do([&] {
            const HWND box = ui::FindDialog(AppTitle());
            boxes.push_back(ui::ReadMessageBox(box));
            owners.push_back(::GetWindow(box, GW_OWNER));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }),
        [&] { return ui::FindDialog(AppTitle()) == nullptr; },
    };
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] {
            dialogWindow = dialog.m_hWnd;
            ui::PostClick(dialog.m_hWnd, IDC_DETAILS);
        })},
        readAndCloseBox,
        // A double-click below the last row hits no row either.
        {UiScript::Do([&] { ui::PostDoubleClick(ListOf(dialog), -1); })},
        readAndCloseBox,
        {UiScript::Wait(100),
         UiScript::Do([&] {
             stillOpen = ::IsWindowVisible(dialog.m_hWnd) && ::IsWindowEnabled(dialog.m_hWnd)
                         && ui::FindDialog("Statistics for '") == nullptr;
         })},
    }));

    ASSERT_EQ(boxes.size(), 2u);
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, LoadResString(IDS_NO_SELECTION));
        EXPECT_EQ(boxes[i].icon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(owners[i], dialogWindow);
    }
    EXPECT_TRUE(stillOpen);
}

TEST(AppStatsDialog, BlankAndTotalRowsOpenNothing)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 2);
    AppStatsDialog dialog(nullptr, store, nullptr);
    std::vector<size_t> ownedAfterEach;
    const auto noteOwned = UiScript::Do([&] { ownedAfterEach.push_back(ui::OwnedWindows(dialog.m_hWnd).size()); });
    UiScript::Run(dialog, {
        UiScript::Do([&] { ui::Select(ListOf(dialog), {1}); ui::PostClick(dialog.m_hWnd, IDC_DETAILS); }),
        UiScript::Wait(200), noteOwned,
        UiScript::Do([&] { ui::Select(ListOf(dialog), {2}); ui::PostClick(dialog.m_hWnd, IDC_DETAILS); }),
        UiScript::Wait(200), noteOwned,
        UiScript::Do([&] { ui::PostDoubleClick(ListOf(dialog), 1); }),
        UiScript::Wait(200), noteOwned,
        UiScript::Do([&] { ui::PostDoubleClick(ListOf(dialog), 2); }),
        UiScript::Wait(200), noteOwned,
    });

    EXPECT_EQ(ownedAfterEach, (std::vector<size_t>{0, 0, 0, 0}));
}

TEST(AppStatsDialog, DetailsWithSeveralRowsSelectedOpensTheTopmost)
{
    ActivityStore store;
    Count(store, "a.exe", "A", 1);
    Count(store, "b.exe", "B", 5);
    Count(store, "c.exe", "C", 3);
    AppStatsDialog dialog(nullptr, store, nullptr);
    std::string caption;
    Rows documents;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] {
            ui::Select(ListOf(dialog), {2, 1});
            ui::PostClick(dialog.m_hWnd, IDC_DETAILS);
        })},
        ReadAndCloseDocuments(caption, documents),
    }));

    EXPECT_EQ(caption, "Statistics for 'c.exe'. 33% from total time");
    EXPECT_EQ(documents, (Rows{{"C", "0:00:03"}, {"", ""}, {"Total:", "0:00:03"}}));
}

// The sampler goes on while the dialog is open: its rows stay as they opened, the documents
// caption takes the counts of the moment, and a Clear makes the rows name nothing.
TEST(AppStatsDialog, RowsStayWhileTheStoreCountsAndDocumentsUseTheCurrentCounts)
{
    ActivityStore store;
    Count(store, "editor.exe", "notes.txt", 1);
    AppStatsDialog dialog(nullptr, store, nullptr);
    Rows before;
    Rows after;
    std::string caption;
    Rows documents;
    Rows documentsAfterClear;
    size_t ownedAfterClear = 99;
    UiScript::Run(dialog, Concat({
        {UiScript::Do([&] { before = ui::Rows(ListOf(dialog)); }),
         UiScript::Do([&] { Count(store, "other.exe", "Other", 3); }),
         UiScript::Do([&] {
             after = ui::Rows(ListOf(dialog));
             ui::PostDoubleClick(ListOf(dialog), 0);
         }),
         [] { return ui::FindDialog("Statistics for '") != nullptr; },
         // A Clear while the documents are open does not reach them.
         UiScript::Do([&] { store.Clear(); }),
         UiScript::Wait(50),
         UiScript::Do([&] {
             documentsAfterClear = ui::Rows(::GetDlgItem(ui::FindDialog("Statistics for '"), IDC_DOCUMENTS_LIST));
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

TEST(AppStatsDialog, GrowsOnlyInHeightAndNeverBelowItsOpeningSize)
{
    ActivityStore store;
    AppStatsDialog dialog(nullptr, store, nullptr);
    SIZE opening = {}, afterShrink = {}, afterWiden = {}, afterGrow = {};
    RECT listBefore = {}, listAfter = {}, okBefore = {}, okAfter = {}, detailsBefore = {}, detailsAfter = {};
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        opening = ui::WindowSize(window);
        listBefore = ui::ChildRect(window, ListOf(dialog));
        okBefore = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        detailsBefore = ui::ChildRect(window, dialog.GetDlgItem(IDC_DETAILS));
        ui::Resize(window, opening.cx - 50, opening.cy - 50);
        afterShrink = ui::WindowSize(window);
        ui::Resize(window, opening.cx + 80, opening.cy);
        afterWiden = ui::WindowSize(window);
        ui::Resize(window, opening.cx, opening.cy + 100);
        afterGrow = ui::WindowSize(window);
        listAfter = ui::ChildRect(window, ListOf(dialog));
        okAfter = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        detailsAfter = ui::ChildRect(window, dialog.GetDlgItem(IDC_DETAILS));
    })});

    EXPECT_EQ(afterShrink.cx, opening.cx);
    EXPECT_EQ(afterShrink.cy, opening.cy);
    EXPECT_EQ(afterWiden.cx, opening.cx);
    EXPECT_EQ(afterGrow.cy, opening.cy + 100);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.top, listBefore.top);
    EXPECT_EQ(listAfter.right, listBefore.right);
    EXPECT_EQ(listAfter.bottom, listBefore.bottom + 100);
    EXPECT_TRUE(::EqualRect(&okAfter, &okBefore));
    EXPECT_TRUE(::EqualRect(&detailsAfter, &detailsBefore));
}

} // namespace
