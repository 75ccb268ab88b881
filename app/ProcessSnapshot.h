// One pass over a toolhelp snapshot of every process in the system.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include "framework/Handles.h"

class ProcessSnapshot {
public:
    // Fills entry with the next process (the first one takes the snapshot). False once there is
    // no further entry, or when no snapshot could be taken.
    bool Next(PROCESSENTRY32& entry);

private:
    bool m_started = false;
    UniqueKernelHandle m_snapshot;
};
