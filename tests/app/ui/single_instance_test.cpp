// The real executable started beside itself: a second window start ends at once and quietly,
// the other modes run beside the window, and the window ends in order on SIGTERM. Also the alarm
// as it really rings: through ALSA, at a midnight of a local zone made up for the test.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class Sandbox
{
public:
    Sandbox()
    {
        std::string pattern = (fs::temp_directory_path() / "dniarz-e2e-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        m_root = pattern;
        for (const char* sub : {"config", "runtime", "program", "cache", "home"})
            fs::create_directory(m_root / sub);
        fs::permissions(m_root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    }
    ~Sandbox()
    {
        for (pid_t pid : m_children)
            if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    const fs::path& Root() const { return m_root; }

    // `stderrFd`, when given, becomes the child's standard error; `extraEnv` ("NAME=value") adds
    // to the environment or replaces a variable of the same name.
    pid_t Start(const std::vector<std::string>& args, int stderrFd = -1, const std::vector<std::string>& extraEnv = {})
    {
        std::vector<std::string> env = {
            "QT_QPA_PLATFORM=offscreen",
            "XDG_CONFIG_HOME=" + (m_root / "config").string(),
            "XDG_CONFIG_DIRS=" + (m_root / "config-dirs").string(),
            "XDG_DATA_HOME=" + (m_root / "data").string(),
            "XDG_RUNTIME_DIR=" + (m_root / "runtime").string(),
            "XDG_CACHE_HOME=" + (m_root / "cache").string(),
            "HOME=" + (m_root / "home").string(),
            "DNIARZ_DIR=" + (m_root / "program").string(),
            "TZ=CET-1CEST,M3.5.0,M10.5.0/3",
            "LANG=C.UTF-8",
        };
        for (const std::string& extra : extraEnv) {
            const std::string name = extra.substr(0, extra.find('=') + 1);
            std::erase_if(env, [&name](const std::string& e) { return e.starts_with(name); });
            env.push_back(extra);
        }
        std::vector<std::string> argv = {DNIARZ_EXECUTABLE};
        argv.insert(argv.end(), args.begin(), args.end());
        auto pointers = [](std::vector<std::string>& strings) {
            std::vector<char*> out;
            for (std::string& s : strings)
                out.push_back(s.data());
            out.push_back(nullptr);
            return out;
        };
        auto argvPtrs = pointers(argv);
        auto envPtrs = pointers(env);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = (m_root / ("out" + std::to_string(m_children.size()))).string();
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (stderrFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
        pid_t pid = -1;
        const int rc = ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argvPtrs.data(), envPtrs.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            return -1;
        m_children.push_back(pid);
        return pid;
    }

    std::string Output(std::size_t child) const
    {
        std::ifstream in(m_root / ("out" + std::to_string(child)));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    fs::path m_root;
    std::vector<pid_t> m_children;
};

// The wait status once the child has ended within `limit`; empty while it still runs.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return status;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits until `pid` holds the window's lock: it writes its process id into the lock file then.
bool HoldsTheLock(const Sandbox& box, pid_t pid)
{
    const fs::path lockFile = box.Root() / "runtime" / "ZWDNIARZ.lock";
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (ReadFile(lockFile) != std::to_string(pid) + "\n") {
        if (WaitFor(pid, 0ms) || std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Waits until `pid` catches SIGTERM, as the window does once it can end in order.
bool CatchesSigterm(pid_t pid)
{
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < until && !WaitFor(pid, 0ms)) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("SigCgt:") && (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1))
                return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

bool ExitedWithZero(const std::optional<int>& status)
{
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

}  // namespace

TEST(SingleInstance, SecondStartEndsQuietlyAndTheFirstEndsInOrderOnSigterm)
{
    Sandbox box;
    ASSERT_FALSE(box.Root().empty());
    const fs::path lockFile = box.Root() / "runtime" / "ZWDNIARZ.lock";

    const pid_t first = box.Start({});
    ASSERT_GT(first, 0);
    // The holder writes its process id into the lock file once it holds the lock.
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (ReadFile(lockFile) != std::to_string(first) + "\n" && std::chrono::steady_clock::now() < until) {
        ASSERT_FALSE(WaitFor(first, 0ms)) << "the first start ended on its own";
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(ReadFile(lockFile), std::to_string(first) + "\n");

    const pid_t second = box.Start({"-Hide"});
    ASSERT_GT(second, 0);
    EXPECT_TRUE(ExitedWithZero(WaitFor(second, 10s)));
    EXPECT_EQ(box.Output(1), "");

    // The printed day and the picture never take the lock.
    const pid_t printer = box.Start({"--print-day", "2024-06-21"});
    EXPECT_TRUE(ExitedWithZero(WaitFor(printer, 20s)));
    EXPECT_NE(box.Output(2), "");
    const fs::path picture = box.Root() / "program" / "window.png";
    const pid_t painter = box.Start({"--screenshot", picture.string(), "--date", "2024-06-21"});
    EXPECT_TRUE(ExitedWithZero(WaitFor(painter, 20s)));
    EXPECT_GT(fs::file_size(picture), 1000u);

    EXPECT_FALSE(WaitFor(first, 0ms)) << "the first start must still run";
    ASSERT_EQ(::kill(first, SIGTERM), 0);
    EXPECT_TRUE(ExitedWithZero(WaitFor(first, 20s)));
    EXPECT_EQ(ReadFile(lockFile), "");
}

TEST(SingleInstance, UnwritablePictureIsAFailure)
{
    Sandbox box;
    ASSERT_FALSE(box.Root().empty());
    const pid_t painter = box.Start({"--screenshot", (box.Root() / "missing" / "window.png").string()});
    const auto status = WaitFor(painter, 20s);
    ASSERT_TRUE(status && WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 1);
}

// A notes file or a planted FIFO in its place: the printed day and the picture end at once with
// the read failure instead of waiting for a writer that never comes.
TEST(SingleInstance, AFifoInPlaceOfTheNotesFileStopsNothing)
{
    Sandbox box;
    ASSERT_FALSE(box.Root().empty());
    ASSERT_EQ(::mkfifo((box.Root() / "program" / "dnz.dat").c_str(), 0600), 0);
    const pid_t printer = box.Start({"--print-day", "2024-06-21"});
    const auto printed = WaitFor(printer, 20s);
    ASSERT_TRUE(printed && WIFEXITED(*printed));
    EXPECT_EQ(WEXITSTATUS(*printed), 1);
    const fs::path picture = box.Root() / "window.png";
    const pid_t painter = box.Start({"--screenshot", picture.string(), "--date", "2024-06-21"});
    EXPECT_TRUE(WaitFor(painter, 20s)) << "the picture waited on the FIFO";
}

// Ending on SIGTERM while the notes cannot be written (a full disk, here a file size limit): the
// error goes to standard error, since no one may be there to answer a box, and the program ends.
TEST(SingleInstance, AnEndBySignalNeverWaitsOnAMessageBox)
{
    Sandbox box;
    ASSERT_FALSE(box.Root().empty());
    fs::create_directories(box.Root() / "config" / "Brenvik");
    std::ofstream(box.Root() / "config" / "Brenvik" / "dniarz.reg", std::ios::binary)
        << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
           "\"ColSunday\"=dword:000000ff\r\n";
    // A record cut short: opening repairs it, and the repair is written when the program ends.
    const std::string notes = "2024.06.21\r\n2024.06.21  10:00\r\nniedokończona";
    std::ofstream(box.Root() / "program" / "dnz.dat", std::ios::binary) << notes;
    int errPipe[2];
    ASSERT_EQ(::pipe2(errPipe, O_CLOEXEC), 0);
    // Both are inherited by the child: writes past the notes file's size fail, without a signal.
    struct rlimit oldLimit
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    struct rlimit limit = oldLimit;
    limit.rlim_cur = notes.size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldAction = ::signal(SIGXFSZ, SIG_IGN);
    const pid_t window = box.Start({}, errPipe[1]);
    ::signal(SIGXFSZ, oldAction);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::close(errPipe[1]);
    ASSERT_GT(window, 0);
    ASSERT_TRUE(HoldsTheLock(box, window));
    ASSERT_TRUE(CatchesSigterm(window));

    ASSERT_EQ(::kill(window, SIGTERM), 0);
    const auto status = WaitFor(window, 20s);
    ASSERT_TRUE(status) << "still running 20 s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status));
    std::string err;
    char buffer[4096];
    for (ssize_t n; (n = ::read(errPipe[0], buffer, sizeof buffer)) > 0;)
        err.append(buffer, static_cast<std::size_t>(n));
    ::close(errPipe[0]);
    EXPECT_NE(err.find("dniarz: Nie powiódł się zapis do pliku notatek:"), std::string::npos) << err;
    EXPECT_EQ(ReadFile(box.Root() / "program" / "dnz.dat"), notes);
}

namespace {

// A zone in which the local time is `local` (seconds into the day) at the UTC moment `utc`: the
// program then lives through a midnight of its own while the machine's clock stays untouched.
std::string ZoneWithLocalTime(std::chrono::system_clock::time_point utc, long local)
{
    const long utcOfDay = static_cast<long>(
        std::chrono::duration_cast<std::chrono::seconds>(utc.time_since_epoch()).count() % 86400);
    long west = ((utcOfDay - local) % 86400 + 86400) % 86400;  // POSIX offsets count west of Greenwich
    if (west > 43200)
        west -= 86400;
    const long a = west < 0 ? -west : west;
    char text[40];
    std::snprintf(text, sizeof text, "TZ=ALM%c%02ld:%02ld:%02ld", west < 0 ? '-' : '+', a / 3600, a / 60 % 60, a % 60);
    return text;
}

}  // namespace

// Stored as on at "00:00" and started a few seconds before midnight, the alarm rings just after
// midnight through the ALSA default device, here ALSA's file plugin over its null device.
TEST(EndToEnd, AnAlarmOnAtMidnightRingsThroughAlsaAfterMidnight)
{
    Sandbox box;
    ASSERT_FALSE(box.Root().empty());
    fs::create_directories(box.Root() / "config" / "Brenvik");
    std::ofstream(box.Root() / "config" / "Brenvik" / "dniarz.reg", std::ios::binary)
        << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
           "\"Godzina alarmu\"=\"00:00\"\r\n\"Załączony alarm\"=dword:00000001\r\n\"Czas alarmu\"=dword:00000005\r\n";
    const fs::path played = box.Root() / "played.raw";
    std::ofstream(box.Root() / "asound.conf") << "pcm.!default {\n type file\n slave.pcm { type null }\n file \""
                                              << played.string() << "\"\n format \"raw\"\n}\n";
    // The window must be up before midnight: a busy machine gets a second try with more time.
    pid_t window = -1;
    std::chrono::system_clock::time_point midnight;
    for (const auto lead : {8s, 30s}) {
        // On a whole second, as the zone's offset is in whole seconds.
        midnight = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now() + lead);
        window = box.Start(
            {}, -1, {ZoneWithLocalTime(midnight, 0), "ALSA_CONFIG_PATH=" + (box.Root() / "asound.conf").string()});
        ASSERT_GT(window, 0);
        ASSERT_TRUE(CatchesSigterm(window));
        if (std::chrono::system_clock::now() < midnight - 1s)
            break;
        ::kill(window, SIGTERM);
        ASSERT_TRUE(WaitFor(window, 20s));
        fs::remove(played);
        window = -1;
    }
    ASSERT_GT(window, 0) << "the window took too long to start";
    auto size = [&played] {
        std::error_code ec;
        const auto bytes = fs::file_size(played, ec);
        return ec ? 0 : bytes;
    };
    while (std::chrono::system_clock::now() < midnight - 200ms) {
        ASSERT_EQ(size(), 0u) << "rang before midnight";
        std::this_thread::sleep_for(50ms);
    }
    const auto until = midnight + 10s;
    while (size() == 0 && std::chrono::system_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    EXPECT_GT(size(), 0u) << "no sound within 10 s after midnight";
    ::kill(window, SIGTERM);
    EXPECT_TRUE(ExitedWithZero(WaitFor(window, 20s)));
    // The tones are sound, not silence.
    const std::string bytes = ReadFile(played);
    bool loud = false;
    for (std::size_t i = 0; i + 1 < bytes.size() && !loud; i += 2)
        loud = std::abs(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) | bytes[i + 1] << 8)) > 1000;
    EXPECT_TRUE(loud);
}
