#include "tests/settings/RegistryTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr REGSAM kWriteBits = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

}  // namespace

StoredValue DwordValue(DWORD value)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    return StoredValue{REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value)};
}

StoredValue StringValue(const std::string& text, DWORD type)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return StoredValue{type, std::vector<BYTE>(bytes, bytes + text.size() + 1)};
}

bool KeyExists(const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteApplicationKey()
{
    const LSTATUS status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kApplicationKeyPath);
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    // The maker's key goes too once it is empty; it fails harmlessly while it has other keys.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvatech");
    ASSERT_FALSE(KeyExists(kApplicationKeyPath));
}

void PutValue(const char* path, const char* name, const StoredValue& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LSTATUS status = RegSetValueExA(key, name, 0, value.type, value.data.data(),
                                          static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void RemoveValue(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

std::map<std::string, StoredValue> ValuesOf(const char* path)
{
    std::map<std::string, StoredValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        StoredValue value{type, std::vector<BYTE>(size)};
        RegQueryValueExA(key, name, nullptr, nullptr, value.data.data(), &size);
        values[std::string(name, nameLength)] = value;
    }
    RegCloseKey(key);
    return values;
}

std::string OwnExecutablePath()
{
    std::string path(32768, '\0');
    path.resize(GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return path;
}

bool ObservedRegistry::Refused()
{
    ++m_writeAttempts;
    return m_refuseWrites;
}

LSTATUS ObservedRegistry::OpenKey(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    if ((access & kWriteBits) != 0 && Refused())
        return ERROR_ACCESS_DENIED;
    return SystemRegistry().OpenKey(root, path, access, key);
}

LSTATUS ObservedRegistry::CreateKey(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    if (Refused())
        return ERROR_ACCESS_DENIED;
    return SystemRegistry().CreateKey(root, path, access, key);
}

LSTATUS ObservedRegistry::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data,
                                     DWORD* size)
{
    return SystemRegistry().QueryValue(key, name, type, data, size);
}

LSTATUS ObservedRegistry::SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                                   DWORD size)
{
    if (Refused())
        return ERROR_ACCESS_DENIED;
    return SystemRegistry().SetValue(key, name, type, data, size);
}

LSTATUS ObservedRegistry::DeleteValue(HKEY key, const char* name)
{
    if (Refused())
        return ERROR_ACCESS_DENIED;
    return SystemRegistry().DeleteValue(key, name);
}

LSTATUS ObservedRegistry::CloseKey(HKEY key)
{
    return SystemRegistry().CloseKey(key);
}
