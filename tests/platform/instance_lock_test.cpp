// The lock-file single-instance guard: where it lives and that one holder excludes the next.
#include "platform/linux/linux_instance_lock.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dniarz-lock-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(InstanceLockPath, PrefersTheUsersRuntimeDirectory)
{
    EXPECT_EQ(InstanceLockPath("ZWDNIARZ", "/run/user/1000", "/tmp", 1000), "/run/user/1000/ZWDNIARZ.lock");
    // Without a usable runtime directory the shared temporary folder needs the user in the name.
    for (const char* runtime : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
        SCOPED_TRACE(runtime ? runtime : "(unset)");
        EXPECT_EQ(InstanceLockPath("ZWDNIARZ", runtime, "/tmp", 1000), "/tmp/ZWDNIARZ-1000.lock");
    }
}

TEST(LinuxInstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempDir dir;
    const auto path = InstanceLockPath("ZWDNIARZ", dir.Path().c_str(), "/unused", 0);
    {
        LinuxInstanceLock first(path);
        ASSERT_EQ(first.TryAcquire(), LockResult::Acquired);
        EXPECT_EQ(first.TryAcquire(), LockResult::Acquired);
        EXPECT_EQ(ReadAll(path), std::to_string(getpid()) + "\n");

        LinuxInstanceLock second(path);
        EXPECT_EQ(second.TryAcquire(), LockResult::HeldByAnother);
        EXPECT_EQ(second.TryAcquire(), LockResult::HeldByAnother);
    }
    // Destroyed without an explicit Release: the lock must still be free again.
    LinuxInstanceLock third(path);
    EXPECT_EQ(third.TryAcquire(), LockResult::Acquired);
    third.Release();
    EXPECT_EQ(ReadAll(path), "");
    LinuxInstanceLock fourth(path);
    EXPECT_EQ(fourth.TryAcquire(), LockResult::Acquired);
}

TEST(LinuxInstanceLock, UnusablePlacesAreReportedAsUnavailable)
{
    TempDir dir;
    LinuxInstanceLock missingDir(dir.Path() / "no-such-dir" / "ZWDNIARZ.lock");
    EXPECT_EQ(missingDir.TryAcquire(), LockResult::Unavailable);

    // A link planted under the lock's name is not followed.
    const auto target = dir.Path() / "victim";
    std::ofstream(target) << "keep";
    std::filesystem::create_symlink(target, dir.Path() / "ZWDNIARZ.lock");
    LinuxInstanceLock planted(dir.Path() / "ZWDNIARZ.lock");
    EXPECT_EQ(planted.TryAcquire(), LockResult::Unavailable);
    EXPECT_EQ(ReadAll(target), "keep");
}
