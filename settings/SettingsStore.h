// The program's settings in the registry under HKEY_LOCAL_MACHINE: two on/off options in the
// application key and the start-with-Windows entry in the platform's Run key. Each call opens,
// uses and closes its own key; failures are absorbed. The registry parameter is for tests.
#pragma once

#include "settings/RegistryApi.h"

constexpr char kMonitorAtStartupOption[] = "MonitorAtStartup";
constexpr char kMinToTrayOption[] = "MinToTray";

// The stored REG_DWORD; when it is missing (or longer than 4 bytes) 1 is written and returned.
DWORD ReadOption(const char* valueName, RegistryApi& registry = SystemRegistry());
// Writes the REG_DWORD, creating the application key when needed.
void WriteOption(const char* valueName, DWORD value, RegistryApi& registry = SystemRegistry());

// True when the Run key holds a non-empty string value "Vantel", whatever path it names.
bool IsRunAtStartup(RegistryApi& registry = SystemRegistry());
// enable: "Vantel" := the running executable's full path in double quotes; otherwise the value
// is removed (an absent value is no error).
void SetRunAtStartup(bool enable, RegistryApi& registry = SystemRegistry());
