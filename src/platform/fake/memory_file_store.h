// FileStore in memory, with failures on request.
#pragma once

#include "platform/file_store.h"

#include <map>
#include <set>

class MemoryFileStore final : public FileStore
{
public:
    FileRead Read(const std::filesystem::path& file, std::uint64_t limit) override
    {
        lastReadLimit = limit;
        readLimits[file] = limit;
        const auto found = files.find(file);
        if (failReads || unreadable.count(file))
            return {FileRead::Status::Failed, false, {}, readProblem};
        if (found != files.end() && found->second.size() > limit)
            return {FileRead::Status::Failed, true, {}, FileProblem::TooLarge};
        if (found == files.end())
            return {FileRead::Status::Missing, false, {}, FileProblem::Missing};  // as the real stores say
        return {FileRead::Status::Read, false, found->second};
    }
    FileProblem Replace(const std::filesystem::path& file, std::string_view contents) override
    {
        ++writes;
        if (failWrites)
            return writeProblem;
        files[file] = std::string(contents);
        unreadable.erase(file);
        return FileProblem::None;
    }
    FileProblem ExportContents(const std::filesystem::path& file, std::string_view contents) override
    {
        if (notRegular.count(file))
            return FileProblem::NotRegular;
        return Replace(file, contents);
    }
    bool RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to) override
    {
        if (failRenames || files.count(to) || unreadable.count(to) || (!files.count(from) && !unreadable.count(from)))
            return false;
        if (files.count(from))
            files[to] = files[from];
        if (unreadable.count(from))
            unreadable.insert(to);
        files.erase(from);
        unreadable.erase(from);
        return true;
    }

    std::map<std::filesystem::path, std::string> files;
    std::set<std::filesystem::path> unreadable;           // there, but every read of them fails
    std::set<std::filesystem::path> notRegular;           // a FIFO or a link: every export to them is refused
    FileProblem readProblem = FileProblem::NoPermission;  // why failed reads fail
    FileProblem writeProblem = FileProblem::NoSpace;      // why failed writes fail
    bool failReads = false;
    bool failWrites = false;
    bool failRenames = false;
    int writes = 0;  // attempts, failed ones included
    std::uint64_t lastReadLimit = 0;
    std::map<std::filesystem::path, std::uint64_t> readLimits;  // the last limit asked of each file
};
