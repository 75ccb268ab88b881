// One open registry key, closed when the object leaves its scope. Every operation on a key that
// is not open answers ERROR_INVALID_HANDLE (6) and makes no registry call.
#pragma once

#include <windows.h>

#include <string>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return m_hKey != nullptr; }

    // Opens an existing key. Create also makes it, and any missing parents, when it does not
    // exist. A key held before is closed first; if that fails its status is returned and
    // nothing is opened.
    LSTATUS Open(HKEY root, const char* path, REGSAM access);
    LSTATUS Create(HKEY root, const char* path, REGSAM access);
    // ERROR_SUCCESS when nothing was open.
    LSTATUS Close();

    // The value's first 4 bytes as a number (fewer bytes are the low bytes of a zeroed number;
    // the type is not checked). 0 when the query fails, for instance ERROR_MORE_DATA when the
    // data is longer than 4 bytes.
    DWORD QueryDword(const char* name, LSTATUS& status) const;
    // The text of a REG_SZ or REG_EXPAND_SZ value (not expanded), up to its first NUL. Empty on
    // any failure; a value of another type gives ERROR_BAD_ARGUMENTS (160).
    std::string QueryString(const char* name, LSTATUS& status) const;
    LSTATUS SetDword(const char* name, DWORD value);
    // Writes REG_SZ text with its terminating NUL.
    LSTATUS SetString(const char* name, const std::string& text);
    LSTATUS DeleteValue(const char* name);

private:
    HKEY m_hKey = nullptr;
};
