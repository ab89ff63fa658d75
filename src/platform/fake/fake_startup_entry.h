// Start-at-logon entries in memory for tests: either place can refuse changes, and every change
// is counted so a test can tell that nothing was touched.
#pragma once

#include <map>
#include <string>

#include "platform/startup_entry.h"

class FakeStartupEntry final : public StartupEntry
{
public:
    std::optional<std::string> Read(TRegLocation where, std::string_view name) const override
    {
        const auto& entries = m_entries[Index(where)];
        const auto it = entries.find(std::string(name));
        return it == entries.end() ? std::nullopt : std::optional<std::string>(it->second);
    }

    bool Remove(TRegLocation where, std::string_view name) override
    {
        ++m_changes;
        return !m_readOnly[Index(where)] && m_entries[Index(where)].erase(std::string(name)) > 0;
    }

    bool Write(TRegLocation where, std::string_view name, const std::string& program,
               const std::vector<std::string>& arguments) override
    {
        ++m_changes;
        if (m_readOnly[Index(where)])
            return false;
        std::string command = program;
        for (const std::string& argument : arguments)
            command += ' ' + argument;
        m_entries[Index(where)][std::string(name)] = command;
        return true;
    }

    // Puts an entry in place as an installer or another user would, without counting a change.
    void Put(TRegLocation where, const std::string& name, const std::string& command)
    {
        m_entries[Index(where)][name] = command;
    }
    void SetReadOnly(TRegLocation where, bool readOnly) { m_readOnly[Index(where)] = readOnly; }
    int Changes() const { return m_changes; }

private:
    static int Index(TRegLocation where) { return where == TRegLocation::CurrentUser ? 0 : 1; }

    std::map<std::string, std::string> m_entries[2];
    bool m_readOnly[2] = {false, false};
    int m_changes = 0;
};
