#include "settings/SettingsStore.h"

#include "framework/Application.h"
#include "settings/RegistryKey.h"

#include <string>

namespace {

constexpr char kApplicationKey[] = "Software\\Norvatech\\Vantel";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vantel";
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;

std::optional<DWORD> QueryOption(HKEY root, const char* valueName)
{
    RegistryKey key;
    key.Open(root, kApplicationKey, kReadAccess);   // not open: the query fails
    LSTATUS status = ERROR_SUCCESS;
    const DWORD value = key.QueryDword(valueName, status);
    return status == ERROR_SUCCESS ? std::optional<DWORD>(value) : std::nullopt;
}

std::string RunEntry(HKEY root)
{
    RegistryKey key;
    key.Open(root, kRunKey, kReadAccess);   // not open: the query answers ""
    LSTATUS status = ERROR_SUCCESS;
    return key.QueryString(kRunValue, status);
}

// True when root's Run key has no "Vantel" value afterwards.
bool RemoveRunEntry(HKEY root)
{
    RegistryKey key;
    LSTATUS status = key.Open(root, kRunKey, kWriteAccess);
    if (status == ERROR_SUCCESS)
        status = key.DeleteValue(kRunValue);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool HasMachineRunEntry()
{
    return !RunEntry(HKEY_LOCAL_MACHINE).empty();
}

}  // namespace

std::optional<DWORD> ReadStoredOption(const char* valueName)
{
    if (const auto own = QueryOption(HKEY_CURRENT_USER, valueName))
        return own;
    const auto earlier = QueryOption(HKEY_LOCAL_MACHINE, valueName);
    if (earlier)
        WriteOption(valueName, *earlier);
    return earlier;
}

DWORD ReadOption(const char* valueName)
{
    if (const auto stored = ReadStoredOption(valueName))
        return *stored;
    WriteOption(valueName, 1);
    return 1;
}

bool WriteOption(const char* valueName, DWORD value)
{
    RegistryKey key;
    return key.Create(HKEY_CURRENT_USER, kApplicationKey, kWriteAccess) == ERROR_SUCCESS
        && key.SetDword(valueName, value) == ERROR_SUCCESS;
}

bool IsRunAtStartup()
{
    return !RunEntry(HKEY_CURRENT_USER).empty() || HasMachineRunEntry();
}

bool SetRunAtStartup(bool enable)
{
    if (!enable) {
        const bool ownRemoved = RemoveRunEntry(HKEY_CURRENT_USER);
        return (!HasMachineRunEntry() || RemoveRunEntry(HKEY_LOCAL_MACHINE)) && ownRemoved;
    }
    const std::string path = ModulePath(nullptr);
    RegistryKey key;
    // Quoted, so that a path with spaces cannot be read as a shorter program plus arguments.
    if (path.empty() || key.Create(HKEY_CURRENT_USER, kRunKey, kWriteAccess) != ERROR_SUCCESS
        || key.SetString(kRunValue, '"' + path + '"') != ERROR_SUCCESS)
        return false;
    // A second start at sign-in would only hand over to the first and show its window. When the
    // machine's entry may not be removed, it is the one that starts Vantel.
    if (HasMachineRunEntry() && !RemoveRunEntry(HKEY_LOCAL_MACHINE))
        RemoveRunEntry(HKEY_CURRENT_USER);
    return true;
}
