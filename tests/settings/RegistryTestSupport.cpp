#include "tests/settings/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

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

void PutValue(HKEY root, const char* path, const char* name, const StoredValue& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const LSTATUS status = RegSetValueExA(key, name, 0, value.type, value.data.data(),
                                          static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

Values ValuesOf(HKEY root, const char* path)
{
    Values values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        StoredValue value{type, std::vector<BYTE>(size)};
        RegQueryValueExA(key, name, nullptr, nullptr, value.data.data(), &size);
        values[std::string(name, nameLength)] = value;
    }
    RegCloseKey(key);
    return values;
}

MaybeValue ValueOf(HKEY root, const char* path, const char* name)
{
    const Values values = ValuesOf(root, path);
    const auto found = values.find(name);
    return found != values.end() ? MaybeValue(found->second) : std::nullopt;
}

void RemoveAllSettings()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteKeyA(root, kOptionsPath);
        // The maker's key goes too once it is empty; it fails harmlessly while it has other keys.
        RegDeleteKeyA(root, "Software\\Norvatech");
        HKEY run = nullptr;
        if (RegOpenKeyExA(root, kRunPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, kRunValue);
            RegCloseKey(run);
        }
        ASSERT_TRUE(ValuesOf(root, kOptionsPath).empty());
        ASSERT_EQ(ValuesOf(root, kRunPath).count(kRunValue), 0u);
    }
}

std::string OwnExecutablePath()
{
    std::string path(32768, '\0');
    path.resize(GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return path;
}

StoredValue OwnStartupEntry()
{
    return StringValue('"' + OwnExecutablePath() + '"');
}

RegistryRefusals::RegistryRefusals(std::set<std::string> refusedValues)
    : m_refusedValues(std::move(refusedValues))
{
    s_current = this;
}

RegistryRefusals::~RegistryRefusals()
{
    s_current = nullptr;
}

bool RegistryRefusals::Refuses(bool refused)
{
    if (refused)
        ++s_current->m_refused;
    return refused;
}

bool RegistryRefusals::RefusesValue(LPCSTR name)
{
    return Refuses(name != nullptr && s_current->m_refusedValues.count(name) != 0);
}

LSTATUS WINAPI RegistryRefusals::OpenKey(HKEY root, LPCSTR path, DWORD options, REGSAM access,
                                         PHKEY key)
{
    if (Refuses(root == HKEY_LOCAL_MACHINE && (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0))
        return ERROR_ACCESS_DENIED;
    return s_current->m_open.Original<decltype(&RegOpenKeyExA)>()(root, path, options, access, key);
}

LSTATUS WINAPI RegistryRefusals::CreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass,
                                           DWORD options, REGSAM access,
                                           LPSECURITY_ATTRIBUTES security, PHKEY key,
                                           LPDWORD disposition)
{
    if (Refuses(root == HKEY_LOCAL_MACHINE))
        return ERROR_ACCESS_DENIED;
    return s_current->m_create.Original<decltype(&RegCreateKeyExA)>()(
        root, path, reserved, keyClass, options, access, security, key, disposition);
}

LSTATUS WINAPI RegistryRefusals::SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                          const BYTE* data, DWORD size)
{
    if (RefusesValue(name))
        return ERROR_ACCESS_DENIED;
    return s_current->m_set.Original<decltype(&RegSetValueExA)>()(key, name, reserved, type, data, size);
}

LSTATUS WINAPI RegistryRefusals::DeleteValue(HKEY key, LPCSTR name)
{
    if (RefusesValue(name))
        return ERROR_ACCESS_DENIED;
    return s_current->m_delete.Original<decltype(&RegDeleteValueA)>()(key, name);
}
