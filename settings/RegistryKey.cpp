#include "settings/RegistryKey.h"

#include <algorithm>
#include <vector>

RegistryKey::~RegistryKey()
{
    Close();
}

LSTATUS RegistryKey::Open(HKEY root, const char* path, REGSAM access)
{
    const LSTATUS closed = Close();
    if (closed != ERROR_SUCCESS)
        return closed;
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExA(root, path, 0, access, &opened);
    if (status == ERROR_SUCCESS)
        m_hKey = opened;
    return status;
}

LSTATUS RegistryKey::Create(HKEY root, const char* path, REGSAM access)
{
    const LSTATUS closed = Close();
    if (closed != ERROR_SUCCESS)
        return closed;
    HKEY created = nullptr;
    const LSTATUS status = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                           nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS)
        m_hKey = created;
    return status;
}

LSTATUS RegistryKey::Close()
{
    if (!IsOpen())
        return ERROR_SUCCESS;
    const LSTATUS status = RegCloseKey(m_hKey);
    if (status == ERROR_SUCCESS)
        m_hKey = nullptr;
    return status;
}

DWORD RegistryKey::QueryDword(const char* name, LSTATUS& status) const
{
    if (!IsOpen()) {
        status = ERROR_INVALID_HANDLE;
        return 0;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    status = RegQueryValueExA(m_hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return status == ERROR_SUCCESS ? value : 0;
}

std::string RegistryKey::QueryString(const char* name, LSTATUS& status) const
{
    if (!IsOpen()) {
        status = ERROR_INVALID_HANDLE;
        return std::string();
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    status = RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        status = ERROR_BAD_ARGUMENTS;
        return std::string();
    }
    if (size == 0)
        return std::string();

    // One spare zero byte so that data stored without its terminator still ends in one. The
    // first answer may also be larger than the bytes then read (Windows sizes it for the stored
    // wide text), so the text ends at the first NUL within what was actually read.
    std::vector<char> data(size + 1, '\0');
    status = RegQueryValueExA(m_hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                              &size);
    if (status != ERROR_SUCCESS)
        return std::string();
    const auto end = data.begin() + size;
    return std::string(data.begin(), std::find(data.begin(), end, '\0'));
}

LSTATUS RegistryKey::SetDword(const char* name, DWORD value)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

LSTATUS RegistryKey::SetString(const char* name, const std::string& text)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

LSTATUS RegistryKey::DeleteValue(const char* name)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(m_hKey, name);
}
