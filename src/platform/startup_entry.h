// The system's list of programs started when a user logs on, kept in two places: the user's own
// and the machine's, which only an administrator may change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TRegLocation
{
    CurrentUser,
    LocalMachine
};

// When an entry starts: at every logon or once, with the user's programs or as a service.
enum class TAutoRunWhere
{
    Run,
    RunOnce,
    RunServices,
    RunServicesOnce
};

class StartupEntry
{
public:
    virtual ~StartupEntry() = default;
    // The command line of the entry `name` at `where`, as stored; nullopt when there is none or it
    // cannot be read. An entry that is present but hidden or switched off reads as none.
    virtual std::optional<std::string> Read(TRegLocation where, std::string_view name) const = 0;
    // False when there was nothing to remove or removing failed.
    virtual bool Remove(TRegLocation where, std::string_view name) = 0;
    // Starts `program` with `arguments` at logon; false when that was refused.
    virtual bool Write(TRegLocation where, std::string_view name, const std::string& program,
                       const std::vector<std::string>& arguments) = 0;
    // Where the system keeps the entries of kind `when`, as it names that place; empty where the
    // system has no such place of its own.
    virtual std::string RunKeyPath(TAutoRunWhere when) const
    {
        (void)when;
        return {};
    }
};
