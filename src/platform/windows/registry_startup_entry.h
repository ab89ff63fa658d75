// Start at logon through the registry's Run keys: the user's under HKEY_CURRENT_USER, the
// machine's under HKEY_LOCAL_MACHINE.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "platform/startup_entry.h"

// The key, under either root, that holds the entries of kind `when`.
std::wstring RunKeyName(TAutoRunWhere when);

struct RunKeys
{
    HKEY userRoot = HKEY_CURRENT_USER;
    std::wstring userKey = RunKeyName(TAutoRunWhere::Run);
    HKEY machineRoot = HKEY_LOCAL_MACHINE;
    std::wstring machineKey = RunKeyName(TAutoRunWhere::Run);
    // Where the desktop records an entry the user switched off without removing it.
    std::wstring userApprovedKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
};

class RegistryStartupEntry final : public StartupEntry
{
public:
    // The system's own keys unless a test names others.
    explicit RegistryStartupEntry(RunKeys keys = {}) : m_keys(std::move(keys)) {}

    // The value as stored. An entry written without quotation marks by an older version is present
    // like any other.
    std::optional<std::string> Read(TRegLocation where, std::string_view name) const override;
    bool Remove(TRegLocation where, std::string_view name) override;
    bool Write(TRegLocation where, std::string_view name, const std::string& program,
               const std::vector<std::string>& arguments) override;
    // The system's key under either root, with a leading backslash; a test's own keys do not change it.
    std::string RunKeyPath(TAutoRunWhere when) const override;

private:
    RunKeys m_keys;
};

// The command line that starts `program` with `arguments`: the program always in quotation marks
// (unquoted, "C:\Program Files\Dniarz\dniarz.exe" would let Windows start "C:\Program.exe"),
// each argument quoted when it must be, so that the program's command-line parser gives it back
// whole. nullopt when the program's name holds a quotation mark or any of them a line break.
std::optional<std::string> RunCommandLine(const std::string& program, const std::vector<std::string>& arguments);
