// The settings in the registry itself: one key under HKEY_CURRENT_USER, values of the registry's
// own types.
#pragma once

#include <string>

#include "platform/settings_store.h"

// The program's key below HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsSubKey[] = L"Software\\Brenvik\\dniarz";

class RegistrySettingsStore final : public SettingsStore
{
public:
    // `subKey` below HKEY_CURRENT_USER; tests give a key of their own.
    explicit RegistrySettingsStore(std::wstring subKey = kSettingsSubKey) : m_subKey(std::move(subKey)) {}

    std::unique_ptr<SettingsKey> OpenKey(bool create) override;
    bool DeleteKey() override;

private:
    std::wstring m_subKey;
};
