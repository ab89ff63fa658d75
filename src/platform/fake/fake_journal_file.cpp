// A journal file in memory for tests.
#include "platform/fake/fake_journal_file.h"

JournalFile::ReadStatus FakeJournalFile::ReadAll(const std::filesystem::path& path, std::string& contents)
{
    contents.clear();
    const auto it = m_files.find(path);
    if (it == m_files.end())
        return ReadStatus::Missing;
    if (failRead)
        return ReadStatus::Failed;
    contents = it->second.contents;
    return ReadStatus::Ok;
}

JournalFile::OpenStatus FakeJournalFile::OpenAndRead(const std::filesystem::path& path, std::string& contents)
{
    m_open = false;
    if (heldByAnother)
        return OpenStatus::HeldByAnother;
    if (failOpen || ReadAll(path, contents) == ReadStatus::Failed)
        return OpenStatus::Failed;
    m_files.try_emplace(path);
    m_path = path;
    m_open = true;
    return OpenStatus::Ok;
}

bool FakeJournalFile::Append(std::string_view bytes)
{
    if (!m_open)
        return false;
    std::string& contents = m_files[m_path].contents;
    if (appendRoom && *appendRoom < bytes.size()) {
        contents.append(bytes.substr(0, *appendRoom));
        appendRoom = 0;
        return false;
    }
    if (appendRoom)
        *appendRoom -= bytes.size();
    contents.append(bytes);
    return true;
}

bool FakeJournalFile::Truncate(std::uint64_t size)
{
    if (!m_open || failTruncate)
        return false;
    std::string& contents = m_files[m_path].contents;
    if (size < contents.size())
        contents.resize(static_cast<std::size_t>(size));
    return true;
}

bool FakeJournalFile::Sync()
{
    ++syncCalls;
    if (!m_open || failSync)
        return false;
    Stored& file = m_files[m_path];
    file.durable = file.contents;
    return true;
}

bool FakeJournalFile::Replace(std::string_view contents)
{
    if (!m_open || failReplace)
        return false;
    Stored& file = m_files[m_path];
    file.contents = contents;
    file.durable = file.contents;
    return true;
}

bool FakeJournalFile::WriteCopy(const std::filesystem::path& path, std::string_view contents)
{
    if (failCopy)
        return false;
    m_files[path] = Stored{std::string(contents), std::string(contents)};
    return true;
}

void FakeJournalFile::SetFile(const std::filesystem::path& path, std::string contents)
{
    m_files[path] = Stored{contents, contents};
}

std::optional<std::string> FakeJournalFile::File(const std::filesystem::path& path) const
{
    const auto it = m_files.find(path);
    return it == m_files.end() ? std::nullopt : std::optional(it->second.contents);
}

std::optional<std::string> FakeJournalFile::DurableFile(const std::filesystem::path& path) const
{
    const auto it = m_files.find(path);
    return it == m_files.end() ? std::nullopt : std::optional(it->second.durable);
}
