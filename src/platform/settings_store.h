// The per-user settings store: named, typed values under one key, with the registry's rules.
// Nothing here reports an error to the user; every call says in its result whether it worked,
// and callers decide what a failure means (for settings: the default, or carry on).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/reg_file.h"

// The settings key as the registry and its export files name it.
inline constexpr std::string_view kSettingsKeyPath = "HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz";

// An open key. Reads check the stored type: a value of another type counts as missing, as does a
// binary value of another length than the caller expects.
class SettingsKey
{
public:
    virtual ~SettingsKey() = default;

    std::optional<std::string> ReadString(std::string_view name) const;
    std::optional<std::int32_t> ReadInteger(std::string_view name) const;  // a 32-bit dword, signed
    // nullopt also when the value's length differs from `length`.
    std::optional<std::vector<std::uint8_t>> ReadBinary(std::string_view name, std::size_t length) const;

    bool WriteString(std::string_view name, std::string_view value);
    bool WriteInteger(std::string_view name, std::int32_t value);
    bool WriteBinary(std::string_view name, std::span<const std::uint8_t> value);
    // Several values in one step, in order. A store that replaces a whole file on every write
    // (and flushes it to disk) does so once here, which keeps a dialog's OK from stalling.
    // False when any value was refused.
    virtual bool WriteValues(std::span<const std::pair<std::string, RegValue>> values);
    virtual bool DeleteValue(std::string_view name) = 0;

protected:
    virtual std::optional<RegValue> ReadValue(std::string_view name) const = 0;
    virtual bool WriteValue(std::string_view name, const RegValue& value) = 0;
};

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // The program's key; nullptr when it does not exist and `create` is false, or when it cannot
    // be opened or created. A key that exists but cannot be read counts as missing.
    virtual std::unique_ptr<SettingsKey> OpenKey(bool create) = 0;
    // Removes the key with all its values; false when that failed (a missing key is no failure).
    virtual bool DeleteKey() = 0;
};
