#include "app/ProcessSnapshot.h"

static_assert(sizeof(PROCESSENTRY32) == 296, "the ANSI toolhelp entry of a 32-bit build");

bool ProcessSnapshot::Next(PROCESSENTRY32& entry)
{
    // The callee checks the size on every call, so it is set before each one.
    entry.dwSize = sizeof(PROCESSENTRY32);
    if (m_started) {
        m_started = ::Process32Next(m_snapshot.get(), &entry) == TRUE;
        return m_started;
    }

    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    m_snapshot.reset();
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    m_snapshot.reset(snapshot);
    m_started = ::Process32First(m_snapshot.get(), &entry) == TRUE;
    return m_started;
}
