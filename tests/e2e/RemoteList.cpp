#include "tests/e2e/RemoteList.h"

#include <commctrl.h>

namespace {

constexpr UINT kAnswerTimeoutMs = 2000;

} // namespace

RemoteList::RemoteList(HWND list) : m_list(list)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                            processId);
    if (m_process != nullptr)
        m_remote = VirtualAllocEx(m_process, nullptr, sizeof(LVITEMA) + kTextCapacity,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteList::~RemoteList()
{
    if (m_remote != nullptr)
        VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process != nullptr)
        CloseHandle(m_process);
}

int RemoteList::RowCount() const
{
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(m_list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &count))
        return -1;
    return static_cast<int>(count);
}

std::string RemoteList::Text(int row, int column) const
{
    if (m_remote == nullptr)
        return "<unreadable>";
    char* remoteText = static_cast<char*>(m_remote) + sizeof(LVITEMA);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = kTextCapacity;
    const char empty = '\0';
    DWORD_PTR length = 0;
    if (!WriteProcessMemory(m_process, m_remote, &item, sizeof item, nullptr)
        || !WriteProcessMemory(m_process, remoteText, &empty, 1, nullptr)
        || !SendMessageTimeoutA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(m_remote), SMTO_ABORTIFHUNG,
                                kAnswerTimeoutMs, &length))
        return "<unreadable>";
    char text[kTextCapacity] = {};
    if (!ReadProcessMemory(m_process, remoteText, text, sizeof text - 1, nullptr))
        return "<unreadable>";
    return text;
}

std::vector<std::pair<std::string, std::string>> RemoteList::Rows() const
{
    std::vector<std::pair<std::string, std::string>> rows;
    const int count = RowCount();
    for (int row = 0; row < count; ++row)
        rows.emplace_back(Text(row, 0), Text(row, 1));
    return rows;
}
