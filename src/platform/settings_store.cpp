// The type checks every store shares.
#include "platform/settings_store.h"

std::optional<std::string> SettingsKey::ReadString(std::string_view name) const
{
    auto value = ReadValue(name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::String))
        return std::nullopt;
    return std::move(value->text);
}

std::optional<std::int32_t> SettingsKey::ReadInteger(std::string_view name) const
{
    const auto value = ReadValue(name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::Dword))
        return std::nullopt;
    return static_cast<std::int32_t>(value->dword);
}

std::optional<std::vector<std::uint8_t>> SettingsKey::ReadBinary(std::string_view name, std::size_t length) const
{
    auto value = ReadValue(name);
    if (!value || value->type != static_cast<std::uint32_t>(RegType::Binary) || value->bytes.size() != length)
        return std::nullopt;
    return std::move(value->bytes);
}

bool SettingsKey::WriteString(std::string_view name, std::string_view value)
{
    return WriteValue(name, RegValue::String(value));
}

bool SettingsKey::WriteInteger(std::string_view name, std::int32_t value)
{
    return WriteValue(name, RegValue::Dword(static_cast<std::uint32_t>(value)));
}

bool SettingsKey::WriteBinary(std::string_view name, std::span<const std::uint8_t> value)
{
    return WriteValue(name, RegValue::Binary({value.begin(), value.end()}));
}

bool SettingsKey::WriteValues(std::span<const std::pair<std::string, RegValue>> values)
{
    bool allWritten = true;
    for (const auto& [name, value] : values)
        allWritten = WriteValue(name, value) && allWritten;
    return allWritten;
}
