// A settings store in memory for tests: the key can be missing, present, unopenable or read-only,
// and every write is logged so a test can check which values an operation wrote and in which order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/settings_store.h"

class MemorySettingsStore final : public SettingsStore
{
public:
    std::unique_ptr<SettingsKey> OpenKey(bool create) override;
    bool DeleteKey() override;

    // The stored key; nullopt while it does not exist.
    std::optional<RegKey>& Key() { return m_key; }
    // Creates the key if needed and puts a value of any type into it, as a hand-made key would.
    void Put(std::string_view name, RegValue value);

    void SetFailOpen(bool fail) { m_failOpen = fail; }      // the key exists but cannot be opened
    void SetFailWrites(bool fail) { m_failWrites = fail; }  // every write and delete is refused
    const std::vector<std::string>& WrittenNames() const { return m_written; }
    void ClearLog() { m_written.clear(); }

private:
    friend class MemorySettingsKey;
    std::optional<RegKey> m_key;
    bool m_failOpen = false;
    bool m_failWrites = false;
    std::vector<std::string> m_written;
};
