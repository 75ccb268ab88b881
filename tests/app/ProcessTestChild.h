// What the process-identification tests share with their helper process.
#pragma once

#include <windows.h>

#include <string>

// Set by the helper started with "frame" once its windows are up.
inline std::string FrameReadyEventName(DWORD helperProcessId)
{
    return "VantelFrameReady" + std::to_string(helperProcessId);
}
