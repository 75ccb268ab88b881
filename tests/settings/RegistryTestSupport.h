// The test prefix's real registry, read and written directly (not through the code under test),
// and the refusals that Windows gives and Wine never does, simulated by patching this program's
// imports of the registry calls.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ImportPatch.h"

constexpr char kOptionsPath[] = "Software\\Norvatech\\Vantel";
constexpr char kRunPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vantel";

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const StoredValue& other) const
    {
        return type == other.type && data == other.data;
    }
};
using Values = std::map<std::string, StoredValue>;
using MaybeValue = std::optional<StoredValue>;

StoredValue DwordValue(DWORD value);
StoredValue StringValue(const std::string& text, DWORD type = REG_SZ);   // with its NUL

void PutValue(HKEY root, const char* path, const char* name, const StoredValue& value);
// Every value of the key by name; empty when the key does not exist.
Values ValuesOf(HKEY root, const char* path);
MaybeValue ValueOf(HKEY root, const char* path, const char* name);
// Both roots without the options key and without the Run value "Vantel".
void RemoveAllSettings();
// The running test program's full path, read with a buffer large enough for any path.
std::string OwnExecutablePath();
// The start-up entry that names this program: its full path in double quotes.
StoredValue OwnStartupEntry();

// While it lives, the machine-wide root cannot be opened or created for writing, as for every
// unelevated program on Windows, and the values named in refusedValues can be neither set nor
// deleted. It refuses the test's own calls too: prepare HKEY_LOCAL_MACHINE before creating it.
class RegistryRefusals {
public:
    explicit RegistryRefusals(std::set<std::string> refusedValues = {});
    ~RegistryRefusals();
    RegistryRefusals(const RegistryRefusals&) = delete;
    RegistryRefusals& operator=(const RegistryRefusals&) = delete;

    int Refused() const { return m_refused; }   // calls refused so far

private:
    static LSTATUS WINAPI OpenKey(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key);
    static LSTATUS WINAPI CreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass,
                                    DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                                    PHKEY key, LPDWORD disposition);
    static LSTATUS WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD size);
    static LSTATUS WINAPI DeleteValue(HKEY key, LPCSTR name);
    static bool Refuses(bool refused);
    static bool RefusesValue(LPCSTR name);

    static inline RegistryRefusals* s_current = nullptr;
    std::set<std::string> m_refusedValues;
    int m_refused = 0;
    ImportPatch m_open{"advapi32.dll", "RegOpenKeyExA", &OpenKey};
    ImportPatch m_create{"advapi32.dll", "RegCreateKeyExA", &CreateKey};
    ImportPatch m_set{"advapi32.dll", "RegSetValueExA", &SetValue};
    ImportPatch m_delete{"advapi32.dll", "RegDeleteValueA", &DeleteValue};
};
