#include "settings/SettingsStore.h"

#include "tests/settings/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

void PutIfAny(HKEY root, const char* path, const char* name, const MaybeValue& value)
{
    if (value)
        PutValue(root, path, name, *value);
}

// Each test starts and ends with no settings in either root.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAllSettings(); }
    void TearDown() override { RemoveAllSettings(); }
};

}  // namespace

// The user's value wins; data longer than 4 bytes counts as missing; an earlier install's value
// in the machine's key is carried over to the user's; otherwise the default 1 is stored. The
// machine's key is never written: every write to it would be refused, and none is tried.
TEST_F(SettingsStoreTest, OptionsAreReadFromTheUserThenCarriedOverFromTheMachine)
{
    const struct Case {
        MaybeValue user, machine;
        std::optional<DWORD> stored;   // ReadStoredOption
        DWORD read;                    // ReadOption
        StoredValue userAfter;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, 1, DwordValue(1)},
        {DwordValue(0), DwordValue(1), 0, 0, DwordValue(0)},
        {DwordValue(7), std::nullopt, 7, 7, DwordValue(7)},
        // "0" and its NUL are two bytes, "off" and its NUL four: read as numbers, kept.
        {StringValue("0"), std::nullopt, 0x30, 0x30, StringValue("0")},
        {StringValue("off"), std::nullopt, 0x0066666F, 0x0066666F, StringValue("off")},
        {StoredValue{REG_BINARY, {0, 0, 0, 0, 0}}, std::nullopt, std::nullopt, 1, DwordValue(1)},
        {std::nullopt, DwordValue(0), 0, 0, DwordValue(0)},
        {StringValue("disabled"), DwordValue(0), 0, 0, DwordValue(0)},
        {std::nullopt, StringValue("yes please"), std::nullopt, 1, DwordValue(1)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        RemoveAllSettings();
        PutIfAny(HKEY_CURRENT_USER, kOptionsPath, kMinToTrayOption, c.user);
        PutIfAny(HKEY_LOCAL_MACHINE, kOptionsPath, kMinToTrayOption, c.machine);
        const Values machineBefore = ValuesOf(HKEY_LOCAL_MACHINE, kOptionsPath);
        {
            const RegistryRefusals refusals;
            EXPECT_EQ(ReadStoredOption(kMinToTrayOption), c.stored);
            if (!c.stored) {   // no default written
                EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kOptionsPath, kMinToTrayOption), c.user);
            }
            EXPECT_EQ(ReadOption(kMinToTrayOption), c.read);
            EXPECT_EQ(refusals.Refused(), 0);
        }
        EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kOptionsPath), (Values{{kMinToTrayOption, c.userAfter}}));
        EXPECT_EQ(ValuesOf(HKEY_LOCAL_MACHINE, kOptionsPath), machineBefore);
    }
}

// Only a non-empty string is an entry, whatever path it names; the machine's counts as well (an
// earlier install).
TEST_F(SettingsStoreTest, IsRunAtStartupWantsANonEmptyStringInEitherRunKey)
{
    const struct Case {
        MaybeValue user, machine;
        bool expected;
    } cases[] = {
        {std::nullopt, std::nullopt, false},
        {StringValue(""), std::nullopt, false},
        {StoredValue{REG_SZ, {}}, std::nullopt, false},
        {DwordValue(1), std::nullopt, false},
        {StoredValue{REG_BINARY, {'C', ':', '\\', 0}}, std::nullopt, false},
        {StringValue("D:\\Copy of Vantel\\vantel.exe"), std::nullopt, true},
        {StringValue("%ProgramFiles%\\Vantel\\vantel.exe", REG_EXPAND_SZ), std::nullopt, true},
        {std::nullopt, StringValue("C:\\Program Files\\Vantel\\vantel.exe"), true},
        {StringValue(""), StringValue("C:\\vantel.exe"), true},
        {std::nullopt, DwordValue(1), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        RemoveAllSettings();
        PutIfAny(HKEY_CURRENT_USER, kRunPath, kRunValue, cases[i].user);
        PutIfAny(HKEY_LOCAL_MACHINE, kRunPath, kRunValue, cases[i].machine);
        EXPECT_EQ(IsRunAtStartup(), cases[i].expected);
    }
}

// The test program is built into a folder deep enough for a path longer than MAX_PATH, with
// spaces (see CMakeLists.txt): the entry holds it whole and quoted. Other programs' entries stay.
TEST_F(SettingsStoreTest, TheUsersStartupEntryHoldsTheCurrentQuotedPath)
{
    ASSERT_GT(OwnExecutablePath().size(), static_cast<size_t>(MAX_PATH));
    ASSERT_NE(OwnExecutablePath().find(' '), std::string::npos);
    PutValue(HKEY_CURRENT_USER, kRunPath, "Other", StringValue("C:\\other.exe"));
    const Values others = ValuesOf(HKEY_CURRENT_USER, kRunPath);
    PutValue(HKEY_CURRENT_USER, kRunPath, kRunValue, StringValue("C:\\Old Folder\\vantel.exe"));

    EXPECT_TRUE(SetRunAtStartup(true));
    EXPECT_TRUE(SetRunAtStartup(true));
    Values expected = others;
    expected[kRunValue] = OwnStartupEntry();
    EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kRunPath), expected);
    EXPECT_TRUE(IsRunAtStartup());

    EXPECT_TRUE(SetRunAtStartup(false));
    EXPECT_TRUE(SetRunAtStartup(false));   // nothing to remove is no error
    EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kRunPath), others);
    EXPECT_FALSE(IsRunAtStartup());
    RegDeleteKeyA(HKEY_CURRENT_USER, kRunPath);
    EXPECT_TRUE(SetRunAtStartup(false));   // nor is a missing Run key
}

// An earlier install's machine-wide entry goes whenever the setting is saved, so that Vantel
// starts once at sign-in. Where it may not go (an unelevated program on Windows), it is the one
// that starts Vantel: checking the box still succeeds, clearing it fails.
TEST_F(SettingsStoreTest, AMachineWideEntryIsRemovedOrLeftToStartVantel)
{
    const struct Case {
        bool machineEntry, machineRefuses, enable;
        bool succeeds, userEntryAfter, machineEntryAfter;
    } cases[] = {
        {true, false, true, true, true, false},
        {true, false, false, true, false, false},
        {true, true, true, true, false, true},
        {true, true, false, false, false, true},
        {false, true, true, true, true, false},
        {false, true, false, true, false, false},
    };
    const StoredValue machineEntry = StringValue("\"C:\\Program Files\\Vantel\\vantel.exe\"");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        RemoveAllSettings();
        if (c.machineEntry)
            PutValue(HKEY_LOCAL_MACHINE, kRunPath, kRunValue, machineEntry);
        {
            std::optional<RegistryRefusals> refusals;
            if (c.machineRefuses)
                refusals.emplace();
            EXPECT_EQ(SetRunAtStartup(c.enable), c.succeeds);
        }
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kRunPath, kRunValue),
                  c.userEntryAfter ? MaybeValue(OwnStartupEntry()) : std::nullopt);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunPath, kRunValue),
                  c.machineEntryAfter ? MaybeValue(machineEntry) : std::nullopt);
        EXPECT_EQ(IsRunAtStartup(), c.userEntryAfter || c.machineEntryAfter);
    }
}

// A write to the user's key that is refused is reported, answers what was read anyway and
// changes nothing else.
TEST_F(SettingsStoreTest, RefusedUserWritesAreReportedAndLoseNothing)
{
    PutValue(HKEY_LOCAL_MACHINE, kOptionsPath, kMonitorAtStartupOption, DwordValue(0));
    PutValue(HKEY_CURRENT_USER, kRunPath, kRunValue, StringValue("C:\\vantel.exe"));
    const RegistryRefusals refusals({kMinToTrayOption, kMonitorAtStartupOption, kRunValue});

    EXPECT_EQ(ReadOption(kMinToTrayOption), 1u);
    EXPECT_EQ(ReadOption(kMonitorAtStartupOption), 0u);   // not carried over, still read
    EXPECT_FALSE(WriteOption(kMinToTrayOption, 0));
    EXPECT_FALSE(SetRunAtStartup(false));
    EXPECT_FALSE(SetRunAtStartup(true));
    EXPECT_TRUE(ValuesOf(HKEY_CURRENT_USER, kOptionsPath).empty());
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kRunPath, kRunValue), StringValue("C:\\vantel.exe"));
}
