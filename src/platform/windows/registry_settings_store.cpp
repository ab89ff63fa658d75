// Settings through the registry calls. Strings are stored as REG_SZ in UTF-16, numbers as
// REG_DWORD, everything else as the bytes it is.
#include "platform/windows/registry_settings_store.h"

#include <windows.h>

#include "platform/windows/win_text.h"

namespace {

class RegistryKey final : public SettingsKey
{
public:
    explicit RegistryKey(HKEY key) : m_key(key) {}
    ~RegistryKey() override { RegCloseKey(m_key); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool DeleteValue(std::string_view name) override
    {
        const LONG rc = RegDeleteValueW(m_key, Widen(name).c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }

protected:
    std::optional<RegValue> ReadValue(std::string_view name) const override
    {
        const std::wstring wideName = Widen(name);
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(m_key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<std::uint8_t> bytes;
        LONG rc = ERROR_MORE_DATA;
        // Another program may grow the value between the two calls; the second call says so.
        for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
            bytes.resize(size);
            rc = RegQueryValueExW(m_key, wideName.c_str(), nullptr, &type, bytes.data(), &size);
        }
        if (rc != ERROR_SUCCESS)
            return std::nullopt;
        bytes.resize(size);
        switch (type) {
        case REG_SZ: {
            std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
            std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
                      reinterpret_cast<std::uint8_t*>(text.data()));
            // The stored terminator, when there is one, is no part of the text.
            if (const auto end = text.find(L'\0'); end != std::wstring::npos)
                text.resize(end);
            return RegValue::String(Narrow(text));
        }
        case REG_DWORD:
            if (bytes.size() != 4)
                return RegValue::Binary(std::move(bytes), type);
            return RegValue::Dword(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
                                   | static_cast<std::uint32_t>(bytes[2]) << 16
                                   | static_cast<std::uint32_t>(bytes[3]) << 24);
        default:
            return RegValue::Binary(std::move(bytes), type);
        }
    }

    bool WriteValue(std::string_view name, const RegValue& value) override
    {
        const std::wstring wideName = Widen(name);
        LONG rc = ERROR_INVALID_PARAMETER;
        if (value.type == REG_SZ) {
            const std::wstring text = Widen(value.text);
            rc = RegSetValueExW(m_key, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        } else if (value.type == REG_DWORD) {
            const DWORD number = value.dword;
            rc = RegSetValueExW(m_key, wideName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number);
        } else {
            rc = RegSetValueExW(m_key, wideName.c_str(), 0, value.type, value.bytes.data(),
                                static_cast<DWORD>(value.bytes.size()));
        }
        return rc == ERROR_SUCCESS;
    }

private:
    HKEY m_key;
};

}  // namespace

std::unique_ptr<SettingsKey> RegistrySettingsStore::OpenKey(bool create)
{
    HKEY key = nullptr;
    LONG rc;
    if (create)
        rc = RegCreateKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
    else
        rc = RegOpenKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    // A key the user may read but not change still gives its values.
    if (rc == ERROR_ACCESS_DENIED && !create)
        rc = RegOpenKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key);
}

bool RegistrySettingsStore::DeleteKey()
{
    LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, m_subKey.c_str());
    if (rc == ERROR_SUCCESS)
        rc = RegDeleteKeyW(HKEY_CURRENT_USER, m_subKey.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
