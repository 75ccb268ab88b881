#include "settings/RegistryKey.h"

#include <algorithm>
#include <vector>

RegistryKey::RegistryKey(RegistryApi& registry) : m_registry(registry) {}

RegistryKey::~RegistryKey()
{
    Close();
}

bool RegistryKey::Open(HKEY root, const char* path, REGSAM access)
{
    if (Close() != ERROR_SUCCESS)
        return false;
    HKEY opened = nullptr;
    if (m_registry.OpenKey(root, path, access, &opened) == ERROR_SUCCESS)
        m_hKey = opened;
    return IsOpen();
}

LSTATUS RegistryKey::Create(HKEY root, const char* path, REGSAM access)
{
    const LSTATUS closed = Close();
    if (closed != ERROR_SUCCESS)
        return closed;
    HKEY created = nullptr;
    const LSTATUS status = m_registry.CreateKey(root, path, access, &created);
    if (status == ERROR_SUCCESS)
        m_hKey = created;
    return status;
}

LSTATUS RegistryKey::Close()
{
    if (!IsOpen())
        return ERROR_SUCCESS;
    const LSTATUS status = m_registry.CloseKey(m_hKey);
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
    status = m_registry.QueryValue(m_hKey, name, nullptr, reinterpret_cast<BYTE*>(&value), &size);
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
    status = m_registry.QueryValue(m_hKey, name, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        status = ERROR_BAD_ARGUMENTS;
        return std::string();
    }
    if (size == 0)
        return std::string();

    // One spare zero byte so that data stored without its terminator still ends in one.
    std::vector<char> data(size + 1, '\0');
    status = m_registry.QueryValue(m_hKey, name, nullptr, reinterpret_cast<BYTE*>(data.data()),
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
    return m_registry.SetValue(m_hKey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof value);
}

LSTATUS RegistryKey::SetString(const char* name, const std::string& text)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return m_registry.SetValue(m_hKey, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1));
}

LSTATUS RegistryKey::DeleteValue(const char* name)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return m_registry.DeleteValue(m_hKey, name);
}
