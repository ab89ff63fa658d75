// The registry export file behind the Linux settings store.
#include "platform/linux/file_settings_store.h"

#include "platform/linux/posix_file.h"
#include "platform/read_file.h"

#include <functional>
#include <system_error>

namespace {

enum class FileState
{
    Missing,
    Unreadable,
    Read
};

struct LoadedFile
{
    FileState state = FileState::Missing;
    RegFile content;
};

// Moves a file the store cannot read out of the way, to the first free name beside it, so that
// neither a fresh start nor a deletion destroys what the user may still want from it.
bool SetAside(const std::filesystem::path& file)
{
    for (int n = 0; n < 100; ++n) {
        std::filesystem::path aside = file;
        aside += n == 0 ? std::string(".unreadable") : ".unreadable." + std::to_string(n);
        std::error_code ec;
        if (std::filesystem::exists(aside, ec) || ec)
            continue;
        std::filesystem::rename(file, aside, ec);
        return !ec;
    }
    return false;
}

LoadedFile LoadFile(const std::filesystem::path& file)
{
    std::string bytes;
    const std::error_code error = ReadFileSafely(file, kSettingsLimit, bytes);
    if (error)
        return {error == std::errc::no_such_file_or_directory ? FileState::Missing : FileState::Unreadable, {}};
    auto parsed = ParseRegFile(bytes);
    if (!parsed)
        return {FileState::Unreadable, {}};
    return {FileState::Read, std::move(*parsed)};
}

bool SaveFile(const std::filesystem::path& file, const RegFile& content)
{
    std::string text;
    return FormatRegFile(content, text) && !ReplaceFileContents(file, text);
}

class FileSettingsKey final : public SettingsKey
{
public:
    FileSettingsKey(const FileSettingsStore& store, RegKey snapshot) : m_store(store), m_snapshot(std::move(snapshot))
    {
    }

    bool DeleteValue(std::string_view name) override
    {
        return Modify([&](RegKey& key) { return key.Erase(name); });
    }

    bool WriteValues(std::span<const std::pair<std::string, RegValue>> values) override
    {
        return Modify([&](RegKey& key) {
            for (const auto& [name, value] : values)
                key.Set(name, value);
            return true;
        });
    }

protected:
    std::optional<RegValue> ReadValue(std::string_view name) const override
    {
        const RegValue* value = m_snapshot.Find(name);
        return value ? std::optional<RegValue>(*value) : std::nullopt;
    }

    bool WriteValue(std::string_view name, const RegValue& value) override
    {
        return Modify([&](RegKey& key) {
            key.Set(name, value);
            return true;
        });
    }

private:
    // Starts from the file as it is now, not from the snapshot, so that two open handles (the
    // calibration dialog and the main window) never undo each other's values.
    bool Modify(const std::function<bool(RegKey&)>& change)
    {
        LoadedFile loaded = LoadFile(m_store.File());
        RegKey* key = loaded.state == FileState::Read ? loaded.content.FindKey(m_store.KeyPath()) : nullptr;
        if (!key || !change(*key) || !SaveFile(m_store.File(), loaded.content))
            return false;
        m_snapshot = *key;
        return true;
    }

    const FileSettingsStore& m_store;
    RegKey m_snapshot;
};

}  // namespace

FileSettingsStore::FileSettingsStore(std::filesystem::path file, std::string keyPath)
    : m_file(std::move(file)), m_keyPath(std::move(keyPath))
{
}

std::unique_ptr<SettingsKey> FileSettingsStore::OpenKey(bool create)
{
    if (m_file.empty())
        return nullptr;
    LoadedFile loaded = LoadFile(m_file);
    if (loaded.state == FileState::Read)
        if (const RegKey* key = loaded.content.FindKey(m_keyPath))
            return std::make_unique<FileSettingsKey>(*this, *key);
    if (!create)
        return nullptr;
    if (loaded.state == FileState::Unreadable) {
        if (!SetAside(m_file))
            return nullptr;
        loaded.content = {};
    }
    loaded.content.keys.push_back(RegKey{m_keyPath, {}});
    if (!SaveFile(m_file, loaded.content))
        return nullptr;
    return std::make_unique<FileSettingsKey>(*this, loaded.content.keys.back());
}

bool FileSettingsStore::DeleteKey()
{
    if (m_file.empty())
        return false;
    LoadedFile loaded = LoadFile(m_file);
    if (loaded.state == FileState::Missing)
        return true;
    if (loaded.state == FileState::Read) {
        if (!loaded.content.EraseKey(m_keyPath))
            return true;
        if (!loaded.content.keys.empty())
            return SaveFile(m_file, loaded.content);
    } else if (!SetAside(m_file)) {
        return false;
    }
    std::error_code ec;
    std::filesystem::remove(m_file, ec);
    if (ec)
        return false;
    // The maker's folder goes too when nothing else is left in it, so that removing the settings
    // leaves no trace; remove() refuses a folder that is not empty.
    std::error_code ignored;
    std::filesystem::remove(m_file.parent_path(), ignored);
    return true;
}

std::filesystem::path ProgramSettingsFile(const std::filesystem::path& configHome)
{
    if (configHome.empty())
        return {};
    return configHome / "Brenvik" / "dniarz.reg";
}
