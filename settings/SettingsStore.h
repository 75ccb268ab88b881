// The program's settings, kept per user under HKEY_CURRENT_USER: two on/off options in the
// application key "Software\Norvatech\Vantel" and the start-with-Windows entry "Vantel" in the
// user's Run key. Earlier versions kept them under HKEY_LOCAL_MACHINE, which an unelevated
// program may read but not write: those values are still read, options are carried over to the
// user's key, and nothing is ever written there. Each call opens, uses and closes its own keys.
#pragma once

#include <windows.h>

#include <optional>

constexpr char kMonitorAtStartupOption[] = "MonitorAtStartup";
constexpr char kMinToTrayOption[] = "MinToTray";
// Not an option: 1 once the balloon that shows where the tray icon is has been shown.
constexpr char kTrayHintShownValue[] = "TrayHintShown";

// The user's stored value (data of up to 4 bytes); otherwise an earlier install's value from
// the machine's key, copied to the user's key; otherwise nullopt. Writes no default.
std::optional<DWORD> ReadStoredOption(const char* valueName);
// ReadStoredOption, or else 1, which is then written to the user's key. The answer does not
// depend on whether any write succeeds.
DWORD ReadOption(const char* valueName);
// Writes the REG_DWORD to the user's key, creating the key when needed. False when refused.
bool WriteOption(const char* valueName, DWORD value);

// True when the user's Run key, or else the machine's (an earlier install), holds a non-empty
// string value "Vantel", whatever path it names.
bool IsRunAtStartup();
// enable: the user's "Vantel" := the running executable's full path in double quotes. disable:
// the value is removed (an absent value is no error). Either way a machine-wide entry of an
// earlier install is removed too, so that Vantel is started once at sign-in or not at all.
// False when the setting did not take effect.
bool SetRunAtStartup(bool enable);
