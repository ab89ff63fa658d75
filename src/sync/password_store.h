// Where the calendar server's password is kept: the system's keyring, or a store in memory for tests.
#pragma once

#include <optional>
#include <string>

class PasswordStore
{
public:
    virtual ~PasswordStore() = default;
    // The password stored for the account ("user@host"); nothing when none is stored or no keyring
    // answered, `problem` then saying which in Polish (empty when none was stored).
    virtual std::optional<std::string> Read(const std::string& account, std::string& problem) = 0;
    // False, with `problem` in Polish, when the keyring would not keep it.
    virtual bool Write(const std::string& account, const std::string& password, std::string& problem) = 0;
};
