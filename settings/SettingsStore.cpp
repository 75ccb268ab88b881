#include "settings/SettingsStore.h"

#include "settings/RegistryKey.h"

#include <string>

namespace {

const HKEY kRoot = HKEY_LOCAL_MACHINE;
constexpr char kApplicationKey[] = "SOFTWARE\\Norvatech\\Vantel";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vantel";
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;

// The full path of the running executable, however long; empty if it cannot be had.
std::string ExecutablePath()
{
    // GetModuleFileNameA fills the whole buffer (and truncates) when the path does not fit.
    // Paths are at most 32767 characters long.
    for (DWORD capacity = MAX_PATH; capacity <= 65536; capacity *= 2) {
        std::string path(capacity, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], capacity);
        if (length == 0)
            return std::string();
        if (length < capacity) {
            path.resize(length);
            return path;
        }
    }
    return std::string();
}

}  // namespace

DWORD ReadOption(const char* valueName, RegistryApi& registry)
{
    RegistryKey key(registry);
    if (key.Open(kRoot, kApplicationKey, kReadAccess)) {
        LSTATUS status = ERROR_SUCCESS;
        const DWORD value = key.QueryDword(valueName, status);
        if (status == ERROR_SUCCESS)
            return value;
    }
    WriteOption(valueName, 1, registry);
    return 1;
}

void WriteOption(const char* valueName, DWORD value, RegistryApi& registry)
{
    RegistryKey key(registry);
    if (!key.Open(kRoot, kApplicationKey, kWriteAccess))
        key.Create(kRoot, kApplicationKey, kWriteAccess);
    key.SetDword(valueName, value);
}

bool IsRunAtStartup(RegistryApi& registry)
{
    RegistryKey key(registry);
    if (!key.Open(kRoot, kRunKey, kReadAccess))
        return false;
    LSTATUS status = ERROR_SUCCESS;
    return !key.QueryString(kRunValue, status).empty();
}

void SetRunAtStartup(bool enable, RegistryApi& registry)
{
    RegistryKey key(registry);
    if (key.Create(kRoot, kRunKey, kWriteAccess) != ERROR_SUCCESS)
        return;
    if (!enable) {
        key.DeleteValue(kRunValue);
        return;
    }
    // Quoted, so that a path with spaces cannot be read as a shorter program plus arguments.
    const std::string path = ExecutablePath();
    if (!path.empty())
        key.SetString(kRunValue, '"' + path + '"');
}
