#include "tests/soak/ReferenceModel.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <numeric>
#include <utility>

#include "core/ActivitySampler.h"
#include "core/Duration.h"
#include "core/ProcessNameCache.h"
#include "res/resource.h"

ReferenceModel::ReferenceModel(const ScriptedProcesses& processes,
                               std::function<bool(const ForegroundScene&)> yieldsIcon)
    : m_processes(processes), m_yieldsIcon(std::move(yieldsIcon))
{
}

void ReferenceModel::WindowOpened()
{
    Rebuild();
}

void ReferenceModel::Rebuild()
{
    ++m_snapshots;
    m_names.clear();
    if (m_processes.snapshotFails)
        return;
    for (const auto& process : m_processes.running)
        m_names[process.first] = process.second.exeFile;
}

std::string ReferenceModel::NameOf(std::uint32_t processId)
{
    auto found = m_names.find(processId);
    if (found == m_names.end()) {
        Rebuild();
        found = m_names.find(processId);
    }
    return found != m_names.end() ? found->second : kUnknownApplicationName;
}

void ReferenceModel::Tick(const ForegroundScene& scene)
{
    ++m_ticksEver;
    ++m_total;
    if (m_total % 3 != 0 && trayEntry)
        ++m_trayModifies;

    std::string name;
    std::string title;
    if (scene.window == nullptr) {
        name = title = kNoActiveWindowsName;
    } else if (scene.window == ::GetDesktopWindow()) {
        name = kDesktopName;
    } else {
        name = NameOf(scene.processId);
        title = scene.title;
    }

    auto inserted = m_apps.emplace(name, App{});
    App& app = inserted.first->second;
    if (inserted.second) {
        m_rowOrder.push_back(name);
        app.iconAppended = m_yieldsIcon(scene);
        if (app.iconAppended)
            ++m_iconsAppended;
    }
    ++app.ticks;
    ++app.documents[title];
}

void ReferenceModel::Clear()
{
    m_apps.clear();
    m_rowOrder.clear();
    m_total = 0;
}

std::vector<ListRow> ReadRows(HWND mainWindow)
{
    const HWND list = ::GetDlgItem(mainWindow, IDC_MAIN_LIST);
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<ListRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        char label[1024] = {};
        char time[64] = {};
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.pszText = label;
        item.cchTextMax = sizeof label;
        ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMA timeItem = {};
        timeItem.iSubItem = 1;
        timeItem.pszText = time;
        timeItem.cchTextMax = sizeof time;
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&timeItem));
        rows.push_back({ label, time, item.iImage });
    }
    return rows;
}

void ExpectMatches(const MainDialog& dialog, const ReferenceModel& model)
{
    const ActivityStore& store = dialog.Store();

    // The store's own invariants.
    std::uint64_t sumOfApps = 0;
    for (const auto& app : store.apps()) {
        const AppRecord& record = app.second;
        const std::uint64_t sumOfDocuments = std::accumulate(
            record.documents.begin(), record.documents.end(), std::uint64_t{ 0 },
            [](std::uint64_t sum, const auto& document) { return sum + document.second; });
        EXPECT_FALSE(record.documents.empty()) << app.first;
        EXPECT_EQ(record.ticks, sumOfDocuments) << app.first;
        sumOfApps += record.ticks;
    }
    EXPECT_EQ(store.totalTicks(), sumOfApps);

    // The store against the model.
    EXPECT_EQ(store.totalTicks(), model.total());
    ASSERT_EQ(store.apps().size(), model.apps().size());
    auto expected = model.apps().begin();
    for (const auto& app : store.apps()) {
        ASSERT_EQ(app.first, expected->first);
        EXPECT_EQ(app.second.ticks, expected->second.ticks) << app.first;
        EXPECT_TRUE(app.second.documents == expected->second.documents) << app.first;
        ++expected;
    }

    // The list against the model and the store: application rows in order of first sighting,
    // the blank row, then "Total:".
    const std::vector<ListRow> rows = ReadRows(dialog.GetSafeHwnd());
    const std::vector<std::string>& order = model.rowOrder();
    ASSERT_EQ(rows.size(), order.size() + 2);
    const int imageCount = ImageList_GetImageCount(dialog.ImageList());
    int lastImage = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const ListRow& row = rows[i];
        const ReferenceModel::App& app = model.apps().at(order[i]);
        ASSERT_EQ(row.label, order[i]) << "row " << i;
        EXPECT_EQ(row.time, FormatDuration(app.ticks)) << row.label;
        const AppRecord* record = store.Find(order[i]);
        ASSERT_NE(record, nullptr) << row.label;
        EXPECT_EQ(row.image, record->iconIndex) << row.label;
        // Each application's icon is appended once, at its first tick: later rows have later
        // images, and every image is one the list holds.
        if (app.iconAppended) {
            EXPECT_GT(row.image, lastImage) << row.label;
            EXPECT_LT(row.image, imageCount) << row.label;
            lastImage = row.image;
        } else {
            EXPECT_EQ(row.image, 0) << row.label;
        }
    }
    EXPECT_EQ(rows[order.size()].label, "");
    EXPECT_EQ(rows[order.size()].time, "");
    EXPECT_EQ(rows.back().label, "Total:");
    EXPECT_EQ(rows.back().time, model.total() == 0 ? std::string() : FormatDuration(model.total()));
}
