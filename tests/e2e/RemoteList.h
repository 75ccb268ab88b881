// Reads the rows of a list view that lives in another process: the item structure and the text
// buffer are placed in that process's memory, filled there by LVM_GETITEMTEXTA and read back.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class RemoteList {
public:
    explicit RemoteList(HWND list);
    ~RemoteList();
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    bool IsOpen() const { return m_remote != nullptr; }
    int RowCount() const;
    std::string Text(int row, int column) const;
    // Label and second column of every row.
    std::vector<std::pair<std::string, std::string>> Rows() const;

private:
    static constexpr int kTextCapacity = 512;

    HWND m_list;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;
};
