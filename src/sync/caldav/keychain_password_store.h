// The password in the system's keyring through QtKeychain: the Secret Service on Linux, the
// Credential Manager on Windows. Never written to a file in clear: without a keyring it keeps nothing.
#pragma once

#include "sync/password_store.h"

class KeychainPasswordStore final : public PasswordStore
{
public:
    std::optional<std::string> Read(const std::string& account, std::string& problem) override;
    bool Write(const std::string& account, const std::string& password, std::string& problem) override;
};
