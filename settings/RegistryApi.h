// The ANSI registry functions the settings code calls, behind one small interface so that tests
// can watch the calls or stand in for a registry that refuses writes. SystemRegistry() is the
// real one (advapi32).
#pragma once

#include <windows.h>

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // RegOpenKeyExA(root, path, 0, access, key)
    virtual LSTATUS OpenKey(HKEY root, const char* path, REGSAM access, HKEY* key) = 0;
    // RegCreateKeyExA(root, path, 0, no class, REG_OPTION_NON_VOLATILE, access, default security,
    // key, no disposition)
    virtual LSTATUS CreateKey(HKEY root, const char* path, REGSAM access, HKEY* key) = 0;
    // RegQueryValueExA(key, name, nullptr, type, data, size)
    virtual LSTATUS QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data,
                               DWORD* size) = 0;
    // RegSetValueExA(key, name, 0, type, data, size)
    virtual LSTATUS SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                             DWORD size) = 0;
    virtual LSTATUS DeleteValue(HKEY key, const char* name) = 0;
    virtual LSTATUS CloseKey(HKEY key) = 0;
};

RegistryApi& SystemRegistry();
