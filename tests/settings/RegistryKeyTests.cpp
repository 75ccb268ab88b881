#include "settings/RegistryKey.h"

#include "tests/settings/RegistryTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;

namespace {

// Any non-null value serves as a handle for the mock.
HKEY FakeHandle(int n)
{
    return reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x1000 + n));
}

// An OpenKey or CreateKey answer that succeeds with FakeHandle(n).
auto Opened(int n)
{
    return DoAll(SetArgPointee<3>(FakeHandle(n)), Return(ERROR_SUCCESS));
}

void ExpectEveryOperationRefusedWithoutACall(RegistryKey& key)
{
    LSTATUS status = ERROR_SUCCESS;
    EXPECT_EQ(key.QueryDword("MinToTray", status), 0u);
    EXPECT_EQ(status, ERROR_INVALID_HANDLE);
    status = ERROR_SUCCESS;
    EXPECT_EQ(key.QueryString("Vantel", status), "");
    EXPECT_EQ(status, ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.SetDword("MinToTray", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.SetString("Vantel", "C:\\vantel.exe"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.DeleteValue("Vantel"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
}

class RegistryKeyOnRegistry : public ::testing::Test {
protected:
    void SetUp() override { DeleteApplicationKey(); }
    void TearDown() override { DeleteApplicationKey(); }

    // The application key as a scratch key, opened by the code under test.
    void OpenScratchKey(RegistryKey& key)
    {
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kApplicationKeyPath, KEY_READ | KEY_WRITE),
                  ERROR_SUCCESS);
    }
};

}  // namespace

TEST(RegistryKey, ClosedKeyAnswersInvalidHandleAndMakesNoCall)
{
    StrictMock<MockRegistry> registry;  // any call not expected below fails the test
    {
        RegistryKey neverOpened(registry);
        ExpectEveryOperationRefusedWithoutACall(neverOpened);
    }

    RegistryKey failedToOpen(registry);
    EXPECT_CALL(registry, OpenKey(HKEY_LOCAL_MACHINE, _, KEY_READ, _))
        .WillOnce(Return(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(failedToOpen.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", KEY_READ));
    EXPECT_FALSE(failedToOpen.IsOpen());
    ExpectEveryOperationRefusedWithoutACall(failedToOpen);

    EXPECT_CALL(registry, OpenKey(_, _, _, _)).WillOnce(Opened(1));
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_SUCCESS));
    ASSERT_TRUE(failedToOpen.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ));
    EXPECT_EQ(failedToOpen.Close(), ERROR_SUCCESS);
    ExpectEveryOperationRefusedWithoutACall(failedToOpen);
}

TEST(RegistryKey, ReopeningClosesTheKeyHeldBeforeAndScopeEndClosesTheLast)
{
    StrictMock<MockRegistry> registry;
    InSequence order;
    EXPECT_CALL(registry, OpenKey(_, _, _, _)).WillOnce(Opened(1));
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_SUCCESS));
    EXPECT_CALL(registry, CreateKey(HKEY_LOCAL_MACHINE, _, KEY_READ | KEY_WRITE, _)).WillOnce(Opened(2));
    EXPECT_CALL(registry, CloseKey(FakeHandle(2))).WillOnce(Return(ERROR_SUCCESS));
    EXPECT_CALL(registry, OpenKey(_, _, _, _)).WillOnce(Opened(3));
    EXPECT_CALL(registry, CloseKey(FakeHandle(3))).WillOnce(Return(ERROR_SUCCESS));

    RegistryKey key(registry);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", KEY_READ));
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\B", KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\C", KEY_READ));
}

TEST(RegistryKey, CreateReturnsAFailureToCloseWithoutCreating)
{
    StrictMock<MockRegistry> registry;
    InSequence order;
    EXPECT_CALL(registry, OpenKey(_, _, _, _)).WillOnce(Opened(1));
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_INVALID_HANDLE));
    EXPECT_CALL(registry, QueryValue(FakeHandle(1), _, _, _, _)).WillOnce(Return(ERROR_SUCCESS));
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_SUCCESS));

    RegistryKey key(registry);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", KEY_READ));
    EXPECT_EQ(key.Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\B", KEY_READ | KEY_WRITE),
              ERROR_INVALID_HANDLE);
    // The old key is still held and still used.
    LSTATUS status = ERROR_INVALID_HANDLE;
    key.QueryDword("MinToTray", status);
    EXPECT_EQ(status, ERROR_SUCCESS);
}

// The ANSI query may report more bytes than it then returns (Windows sizes the first answer for
// the stored wide text), and data may lack its terminator: the text ends at the first NUL within
// the bytes actually read.
TEST(RegistryKey, QueryStringKeepsOnlyTheTextActuallyRead)
{
    StrictMock<MockRegistry> registry;
    EXPECT_CALL(registry, OpenKey(_, _, _, _)).WillOnce(Opened(1));
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_SUCCESS));
    const auto answer = [](DWORD type, DWORD sizeFirst, std::string bytes) {
        return [=](HKEY, const char*, DWORD* typeOut, BYTE* data, DWORD* size) -> LSTATUS {
            if (typeOut)
                *typeOut = type;
            if (!data) {
                *size = sizeFirst;
                return ERROR_SUCCESS;
            }
            if (*size < bytes.size())
                return ERROR_MORE_DATA;
            std::copy(bytes.begin(), bytes.end(), data);
            *size = static_cast<DWORD>(bytes.size());
            return ERROR_SUCCESS;
        };
    };
    EXPECT_CALL(registry, QueryValue(FakeHandle(1), _, _, _, _))
        .WillOnce(answer(REG_SZ, 2, std::string(1, '\0')))
        .WillOnce(answer(REG_SZ, 2, std::string(1, '\0')))
        .WillOnce(answer(REG_SZ, 8, std::string("abc\0", 4)))
        .WillOnce(answer(REG_SZ, 8, std::string("abc\0", 4)))
        .WillOnce(answer(REG_EXPAND_SZ, 3, "abc"))
        .WillOnce(answer(REG_EXPAND_SZ, 3, "abc"));

    RegistryKey key(registry);
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ));
    LSTATUS status = ERROR_INVALID_HANDLE;
    EXPECT_EQ(key.QueryString("Empty", status), "");
    EXPECT_EQ(key.QueryString("Overestimated", status), "abc");
    EXPECT_EQ(key.QueryString("Unterminated", status), "abc");
    EXPECT_EQ(status, ERROR_SUCCESS);
}

// Wine's registry adds a missing terminator by itself, so only the call shows it.
TEST(RegistryKey, SetStringWritesTheTextWithItsTerminator)
{
    StrictMock<MockRegistry> registry;
    EXPECT_CALL(registry, CreateKey(_, _, _, _)).WillOnce(Opened(1));
    std::string written;
    EXPECT_CALL(registry, SetValue(FakeHandle(1), ::testing::StrEq("Vantel"), REG_SZ, _, _))
        .WillOnce([&](HKEY, const char*, DWORD, const BYTE* data, DWORD size) {
            written.assign(reinterpret_cast<const char*>(data), size);
            return ERROR_SUCCESS;
        });
    EXPECT_CALL(registry, CloseKey(FakeHandle(1))).WillOnce(Return(ERROR_SUCCESS));

    RegistryKey key(registry);
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(key.SetString("Vantel", "\"C:\\a b\\v.exe\""), ERROR_SUCCESS);
    EXPECT_EQ(written, std::string("\"C:\\a b\\v.exe\"\0", 15));
}

TEST_F(RegistryKeyOnRegistry, QueryStringReadsStringTypesOnly)
{
    PutValue(kApplicationKeyPath, "Text", StringValue("C:\\Program Files\\Vantel\\vantel.exe"));
    PutValue(kApplicationKeyPath, "Expand", StringValue("%SystemRoot%\\vantel.exe", REG_EXPAND_SZ));
    PutValue(kApplicationKeyPath, "Empty", StringValue(""));
    PutValue(kApplicationKeyPath, "NoData", StoredValue{REG_SZ, {}});
    PutValue(kApplicationKeyPath, "Dword", DwordValue(1));
    RegistryKey key;
    OpenScratchKey(key);

    const struct { const char* name; std::string text; LSTATUS status; } cases[] = {
        {"Text", "C:\\Program Files\\Vantel\\vantel.exe", ERROR_SUCCESS},
        {"Expand", "%SystemRoot%\\vantel.exe", ERROR_SUCCESS},
        {"Empty", "", ERROR_SUCCESS},
        {"NoData", "", ERROR_SUCCESS},
        {"Dword", "", ERROR_BAD_ARGUMENTS},
        {"Missing", "", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        LSTATUS status = ERROR_INVALID_HANDLE;
        EXPECT_EQ(key.QueryString(c.name, status), c.text) << c.name;
        EXPECT_EQ(status, c.status) << c.name;
    }
}
