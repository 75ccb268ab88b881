#include "settings/SettingsStore.h"

#include "tests/settings/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

namespace {

constexpr char kRunValueName[] = "Vantel";

std::string Quoted(const std::string& text)
{
    return '"' + text + '"';
}

std::map<std::string, StoredValue> ApplicationValues()
{
    return ValuesOf(kApplicationKeyPath);
}

// The Run key's values other than ours, which no operation may touch.
std::map<std::string, StoredValue> OtherRunValues()
{
    std::map<std::string, StoredValue> values = ValuesOf(kRunKeyPath);
    values.erase(kRunValueName);
    return values;
}

// Each test starts and ends without the application key and without the start-up entry.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        DeleteApplicationKey();
        RemoveValue(kRunKeyPath, kRunValueName);
        ASSERT_EQ(ValuesOf(kRunKeyPath).count(kRunValueName), 0u);
    }
};

}  // namespace

TEST_F(SettingsStoreTest, FirstStartCreatesTheApplicationKeyWithBothOptionsOn)
{
    EXPECT_EQ(ReadOption(kMonitorAtStartupOption), 1u);
    EXPECT_EQ(ApplicationValues(),
              (std::map<std::string, StoredValue>{{"MonitorAtStartup", DwordValue(1)}}));

    EXPECT_EQ(ReadOption(kMinToTrayOption), 1u);
    EXPECT_EQ(ApplicationValues(),
              (std::map<std::string, StoredValue>{{"MonitorAtStartup", DwordValue(1)},
                                                  {"MinToTray", DwordValue(1)}}));
}

TEST_F(SettingsStoreTest, StoredOptionsAreReadWithoutWriting)
{
    PutValue(kApplicationKeyPath, "MonitorAtStartup", DwordValue(0));
    PutValue(kApplicationKeyPath, "MinToTray", DwordValue(7));
    // A string "0" is two bytes, '0' and NUL, so it reads as non-zero.
    PutValue(kApplicationKeyPath, "Other", StringValue("0"));
    const auto before = ApplicationValues();

    ObservedRegistry registry;
    EXPECT_EQ(ReadOption("MonitorAtStartup", registry), 0u);
    EXPECT_EQ(ReadOption("MinToTray", registry), 7u);
    EXPECT_EQ(ReadOption("Other", registry), 0x30u);
    EXPECT_EQ(registry.WriteAttempts(), 0);
    EXPECT_EQ(ApplicationValues(), before);
}

TEST_F(SettingsStoreTest, DataLongerThanFourBytesIsReplacedByTheDefault)
{
    PutValue(kApplicationKeyPath, "MonitorAtStartup", StoredValue{REG_BINARY, {0, 0, 0, 0, 0}});
    PutValue(kApplicationKeyPath, "MinToTray", StringValue("off"));  // 4 bytes: still read
    PutValue(kApplicationKeyPath, "Other", StringValue("disabled"));

    EXPECT_EQ(ReadOption(kMonitorAtStartupOption), 1u);
    EXPECT_EQ(ReadOption(kMinToTrayOption), 0x0066666Fu);  // "off\0", little-endian
    EXPECT_EQ(ReadOption("Other"), 1u);
    EXPECT_EQ(ApplicationValues(),
              (std::map<std::string, StoredValue>{{"MonitorAtStartup", DwordValue(1)},
                                                  {"MinToTray", StringValue("off")},
                                                  {"Other", DwordValue(1)}}));
}

TEST_F(SettingsStoreTest, WriteOptionCreatesTheKeyAndReplacesTheValue)
{
    WriteOption(kMinToTrayOption, 0);
    EXPECT_EQ(ApplicationValues(),
              (std::map<std::string, StoredValue>{{"MinToTray", DwordValue(0)}}));
    EXPECT_EQ(ReadOption(kMinToTrayOption), 0u);

    PutValue(kApplicationKeyPath, "MonitorAtStartup", StringValue("yes please"));
    WriteOption(kMonitorAtStartupOption, 1);
    WriteOption(kMinToTrayOption, 1);
    EXPECT_EQ(ApplicationValues(),
              (std::map<std::string, StoredValue>{{"MonitorAtStartup", DwordValue(1)},
                                                  {"MinToTray", DwordValue(1)}}));
}

// The test program is built into a folder deep enough for a path longer than MAX_PATH, with
// spaces (see CMakeLists.txt): the entry holds it whole and quoted.
TEST_F(SettingsStoreTest, StartupEntryHoldsTheCurrentQuotedPath)
{
    const std::string path = OwnExecutablePath();
    ASSERT_GT(path.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_NE(path.find(' '), std::string::npos);
    const auto others = OtherRunValues();
    PutValue(kRunKeyPath, kRunValueName, StringValue("C:\\Old Folder\\vantel.exe"));

    SetRunAtStartup(true);
    SetRunAtStartup(true);

    EXPECT_EQ(ValuesOf(kRunKeyPath)[kRunValueName], StringValue(Quoted(path)));
    EXPECT_EQ(OtherRunValues(), others);
    EXPECT_TRUE(IsRunAtStartup());
}

// Any path counts, a copy elsewhere or an unquoted one.
TEST_F(SettingsStoreTest, OnlyANonEmptyStringIsAStartupEntry)
{
    EXPECT_FALSE(IsRunAtStartup());
    const std::pair<StoredValue, bool> entries[] = {
        {StringValue(""), false},
        {DwordValue(1), false},
        {StoredValue{REG_BINARY, {'C', ':', '\\', 0}}, false},
        {StringValue("D:\\Copy of Vantel\\vantel.exe"), true},
        {StringValue("%ProgramFiles%\\Vantel\\vantel.exe", REG_EXPAND_SZ), true},
    };
    for (size_t i = 0; i < std::size(entries); ++i) {
        PutValue(kRunKeyPath, kRunValueName, entries[i].first);
        EXPECT_EQ(IsRunAtStartup(), entries[i].second) << i;
    }
}

TEST_F(SettingsStoreTest, RemovingTheStartupEntryTouchesNothingElse)
{
    const auto before = ValuesOf(kRunKeyPath);
    SetRunAtStartup(false);
    EXPECT_EQ(ValuesOf(kRunKeyPath), before);

    PutValue(kRunKeyPath, kRunValueName, StringValue("C:\\vantel.exe"));
    SetRunAtStartup(false);
    EXPECT_EQ(ValuesOf(kRunKeyPath), before);
    EXPECT_FALSE(IsRunAtStartup());
}

TEST_F(SettingsStoreTest, ARootThatRefusesWritesChangesNothing)
{
    ObservedRegistry readOnly(/*refuseWrites=*/true);

    // No application key: every read answers the default and tries again to store it.
    EXPECT_EQ(ReadOption(kMinToTrayOption, readOnly), 1u);
    const int attemptsOfOneRead = readOnly.WriteAttempts();
    EXPECT_GT(attemptsOfOneRead, 0);
    EXPECT_EQ(ReadOption(kMinToTrayOption, readOnly), 1u);
    EXPECT_EQ(readOnly.WriteAttempts(), 2 * attemptsOfOneRead);
    EXPECT_FALSE(KeyExists(kApplicationKeyPath));
    WriteOption(kMonitorAtStartupOption, 0, readOnly);
    EXPECT_FALSE(KeyExists(kApplicationKeyPath));

    // An existing key keeps its values.
    PutValue(kApplicationKeyPath, "MinToTray", DwordValue(0));
    const auto options = ApplicationValues();
    WriteOption(kMinToTrayOption, 1, readOnly);
    EXPECT_EQ(ReadOption(kMinToTrayOption, readOnly), 0u);
    EXPECT_EQ(ReadOption(kMonitorAtStartupOption, readOnly), 1u);
    EXPECT_EQ(ApplicationValues(), options);

    // The start-up entry can be neither added nor removed nor changed.
    const auto runValues = ValuesOf(kRunKeyPath);
    SetRunAtStartup(true, readOnly);
    EXPECT_EQ(ValuesOf(kRunKeyPath), runValues);
    PutValue(kRunKeyPath, kRunValueName, StringValue("C:\\Old\\vantel.exe"));
    const auto withEntry = ValuesOf(kRunKeyPath);
    SetRunAtStartup(false, readOnly);
    SetRunAtStartup(true, readOnly);
    EXPECT_EQ(ValuesOf(kRunKeyPath), withEntry);
    EXPECT_TRUE(IsRunAtStartup(readOnly));
}
