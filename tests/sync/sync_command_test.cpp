// --sync before the server is reached: where the password comes from, what is refused as a wrong
// setting (exit 2) and what as a server not reached (exit 1). The server is an address nothing
// listens on.
#include "sync/caldav/sync_command.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <sstream>

#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"
#include "platform/fake/memory_password_store.h"
#include "platform/fake/memory_settings_store.h"

namespace {

// A port on 127.0.0.1 nothing listens on: one just given back.
std::string DeadServer()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return "http://127.0.0.1:" + std::to_string(port) + "/";
}

struct SyncRunResult
{
    int code = 0;
    std::string out, err;
    std::vector<std::string> asked;
};

SyncRunResult Sync(SyncCommandInput input, MemoryPasswordStore& passwords, MemorySettingsStore& settings,
                   std::optional<std::string> typed = std::nullopt)
{
    FakeJournalFile file;
    NotesJournal journal(file);
    MemoryFileStore files;
    SyncRunResult run;
    input.notesPath = "/notatki/dnz.dat";
    input.timeoutSeconds = 5;
    input.clock = {EncodeDate(2026, 3, 20), {}, [](auto) { return std::chrono::seconds(0); }};
    if (typed)
        input.ask = [&](const std::string& question, bool) {
            run.asked.push_back(question);
            return typed;
        };
    std::ostringstream out, err;
    run.code = RunSyncCommand(input, {settings, files, journal, passwords}, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(SyncCommand, ThePasswordComesFromTheEnvironmentThenTheKeyringThenTheTerminal)
{
    const std::string server = DeadServer();
    const std::string account = "ania@127.0.0.1";
    struct Row
    {
        const char* name;
        std::optional<std::string> environment;
        bool keyringAnswers;
        bool keyringHolds;
        std::optional<std::string> typed;
        bool keyringRead, asked;
        int code;
        const char* said;
    };
    const Row rows[] = {
        {"environment", "tajne", true, true, std::nullopt, false, false, 1, "nie przyjmuje połączeń"},
        {"keyring", std::nullopt, true, true, std::nullopt, true, false, 1, "nie przyjmuje połączeń"},
        {"terminal", std::nullopt, true, false, "tajne", true, true, 1, "nie przyjmuje połączeń"},
        {"no keyring, no terminal", std::nullopt, false, false, std::nullopt, true, false, 2, "brak hasła"},
        {"no keyring, a terminal", std::nullopt, false, false, "tajne", true, true, 1, "trzeba je podawać"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryPasswordStore passwords;
        passwords.answers = row.keyringAnswers;
        if (row.keyringHolds)
            passwords.passwords[account] = "z pęku";
        MemorySettingsStore settings;
        SyncCommandInput input;
        input.server = server;
        input.user = "ania";
        input.environmentPassword = row.environment;
        const SyncRunResult run = Sync(input, passwords, settings, row.typed);
        EXPECT_EQ(run.code, row.code);
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        EXPECT_EQ(!passwords.reads.empty(), row.keyringRead);
        EXPECT_EQ(!run.asked.empty(), row.asked);
        // Only a password the server took is kept, and never one from the environment.
        EXPECT_EQ(passwords.passwords.size(), row.keyringHolds ? 1u : 0u);
        EXPECT_EQ(run.out, "");
    }
}

TEST(SyncCommand, WrongSettingsAreExitCodeTwo)
{
    const struct
    {
        const char* name;
        std::optional<std::string> server;
        const char* said;
    } rows[] = {
        {"no account", std::nullopt, "nie ustawiono serwera"},
        {"no address", "serwer", "błędny adres"},
        {"another scheme", "ftp://serwer/", "błędny adres"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryPasswordStore passwords;
        MemorySettingsStore settings;
        SyncCommandInput input;
        input.server = row.server;
        input.environmentPassword = "tajne";
        const SyncRunResult run = Sync(input, passwords, settings);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
    }
}

}  // namespace
