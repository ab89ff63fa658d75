// The in-memory store's open key: reads and writes go straight to the store, as on the registry.
#include "platform/fake/memory_settings_store.h"

class MemorySettingsKey final : public SettingsKey
{
public:
    explicit MemorySettingsKey(MemorySettingsStore& store) : m_store(store) {}

    bool DeleteValue(std::string_view name) override
    {
        return !m_store.m_failWrites && m_store.m_key && m_store.m_key->Erase(name);
    }

protected:
    std::optional<RegValue> ReadValue(std::string_view name) const override
    {
        const RegValue* value = m_store.m_key ? m_store.m_key->Find(name) : nullptr;
        return value ? std::optional<RegValue>(*value) : std::nullopt;
    }

    bool WriteValue(std::string_view name, const RegValue& value) override
    {
        if (m_store.m_failWrites || !m_store.m_key)
            return false;
        m_store.m_written.emplace_back(name);
        m_store.m_key->Set(name, value);
        return true;
    }

private:
    MemorySettingsStore& m_store;
};

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenKey(bool create)
{
    if (m_failOpen || (!m_key && (!create || m_failWrites)))
        return nullptr;
    if (!m_key)
        m_key = RegKey{std::string(kSettingsKeyPath), {}};
    return std::make_unique<MemorySettingsKey>(*this);
}

bool MemorySettingsStore::DeleteKey()
{
    if (m_failWrites)
        return false;
    m_key.reset();
    return true;
}

void MemorySettingsStore::Put(std::string_view name, RegValue value)
{
    if (!m_key)
        m_key = RegKey{std::string(kSettingsKeyPath), {}};
    m_key->Set(name, std::move(value));
}
