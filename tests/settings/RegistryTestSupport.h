// Helpers for the settings tests: direct advapi32 access to the test prefix's registry (so the
// checks do not go through the code under test), a registry that forwards to the real one while
// counting write attempts or refusing them, and a mock for call-level checks.
#pragma once

#include "settings/RegistryApi.h"

#include <gmock/gmock.h>

#include <map>
#include <string>
#include <vector>

constexpr char kApplicationKeyPath[] = "SOFTWARE\\Norvatech\\Vantel";
constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const StoredValue& other) const
    {
        return type == other.type && data == other.data;
    }
};

StoredValue DwordValue(DWORD value);
StoredValue StringValue(const std::string& text, DWORD type = REG_SZ);  // with its NUL

bool KeyExists(const char* path);
void DeleteApplicationKey();
void PutValue(const char* path, const char* name, const StoredValue& value);
void RemoveValue(const char* path, const char* name);
// Every value of the key by name; empty when the key does not exist.
std::map<std::string, StoredValue> ValuesOf(const char* path);
// The running test program's full path, read with a buffer large enough for any path.
std::string OwnExecutablePath();

// Forwards to the real registry. Counts every attempt to change it (opening or creating a key
// for writing, setting or deleting a value); with refuseWrites it answers ERROR_ACCESS_DENIED to
// each of them, as the machine-wide root does for an ordinary user.
class ObservedRegistry : public RegistryApi {
public:
    explicit ObservedRegistry(bool refuseWrites = false) : m_refuseWrites(refuseWrites) {}

    int WriteAttempts() const { return m_writeAttempts; }

    LSTATUS OpenKey(HKEY root, const char* path, REGSAM access, HKEY* key) override;
    LSTATUS CreateKey(HKEY root, const char* path, REGSAM access, HKEY* key) override;
    LSTATUS QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data,
                       DWORD* size) override;
    LSTATUS SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                     DWORD size) override;
    LSTATUS DeleteValue(HKEY key, const char* name) override;
    LSTATUS CloseKey(HKEY key) override;

private:
    bool Refused();

    bool m_refuseWrites;
    int m_writeAttempts = 0;
};

class MockRegistry : public RegistryApi {
public:
    MOCK_METHOD(LSTATUS, OpenKey, (HKEY, const char*, REGSAM, HKEY*), (override));
    MOCK_METHOD(LSTATUS, CreateKey, (HKEY, const char*, REGSAM, HKEY*), (override));
    MOCK_METHOD(LSTATUS, QueryValue, (HKEY, const char*, DWORD*, BYTE*, DWORD*), (override));
    MOCK_METHOD(LSTATUS, SetValue, (HKEY, const char*, DWORD, const BYTE*, DWORD), (override));
    MOCK_METHOD(LSTATUS, DeleteValue, (HKEY, const char*), (override));
    MOCK_METHOD(LSTATUS, CloseKey, (HKEY), (override));
};
