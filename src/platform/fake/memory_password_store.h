// A keyring in memory for tests: what was read and written, and a keyring that does not answer.
#pragma once

#include <map>
#include <vector>

#include "sync/password_store.h"

class MemoryPasswordStore final : public PasswordStore
{
public:
    std::optional<std::string> Read(const std::string& account, std::string& problem) override
    {
        reads.push_back(account);
        problem = answers ? std::string() : "brak pęku kluczy";
        const auto found = passwords.find(account);
        if (!answers || found == passwords.end())
            return std::nullopt;
        return found->second;
    }
    bool Write(const std::string& account, const std::string& password, std::string& problem) override
    {
        problem = answers ? std::string() : "brak pęku kluczy";
        if (answers)
            passwords[account] = password;
        return answers;
    }

    std::map<std::string, std::string> passwords;
    std::vector<std::string> reads;
    bool answers = true;  // false: no keyring answers
};
