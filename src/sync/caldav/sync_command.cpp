// --sync.
#include "sync/caldav/sync_command.h"

#include <QCoreApplication>

#include <algorithm>

#include "app/settings.h"
#include "sync/caldav/caldav_client.h"
#include "sync/shown_calendars.h"

namespace {

constexpr int kExitUnreachable = 1;
constexpr int kExitSettings = 2;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        if (end > pos)
            out.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

QString WithoutSlashes(QString path)
{
    while (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// The calendar named by display name or by path; nothing when none is.
const CalendarInfo* FindCalendar(const std::vector<CalendarInfo>& calendars, const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    for (const CalendarInfo& c : calendars)
        if (c.displayName == wanted)
            return &c;
    const QString wantedPath = WithoutSlashes(QUrl(wanted).path(QUrl::FullyDecoded));
    for (const CalendarInfo& c : calendars)
        if (!wantedPath.isEmpty() && WithoutSlashes(c.path) == wantedPath)
            return &c;
    return nullptr;
}

// A calendar as the settings keep it: "path TAB display name".
std::string StoredCalendar(const CalendarInfo& calendar)
{
    return (calendar.path + u'\t' + calendar.displayName).toStdString();
}

std::vector<CalendarInfo> StoredCalendars(const std::string& stored)
{
    std::vector<CalendarInfo> out;
    for (const std::string& line : Lines(stored)) {
        const QString text = QString::fromStdString(line);
        const qsizetype tab = text.indexOf(u'\t');
        if (tab > 0)
            out.push_back({text.left(tab), text.mid(tab + 1)});
        else if (tab < 0)
            out.push_back({text, text.section(u'/', -2, -2)});
    }
    return out;
}

std::string CalendarNames(const std::vector<CalendarInfo>& calendars)
{
    std::string out;
    for (const CalendarInfo& c : calendars)
        out += (out.empty() ? "" : ", ") + c.displayName.toStdString();
    return out;
}

// The notes' messages are made for a message box, with CR LF between their lines.
std::string OneLine(std::string text)
{
    for (std::size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos;)
        text.replace(i, 2, " ");
    return text;
}

int CountEvents(const std::string& data)
{
    int count = 0;
    for (std::size_t i = 0; (i = data.find("BEGIN:VEVENT", i)) != std::string::npos; ++i)
        ++count;
    return count;
}

// "host digest" lines: the certificates the user trusts, by server.
QStringList TrustedFor(const std::string& stored, const QString& host)
{
    QStringList digests;
    for (const std::string& line : Lines(stored)) {
        const QStringList parts = QString::fromStdString(line).split(u' ', Qt::SkipEmptyParts);
        if (parts.size() == 2 && parts[0].compare(host, Qt::CaseInsensitive) == 0)
            digests.append(parts[1]);
    }
    return digests;
}

class SyncRun
{
public:
    SyncRun(const SyncCommandInput& input, SyncServices services, std::ostream& out, std::ostream& err)
        : m_in(input), m_services(services), m_out(out), m_err(err)
    {
    }
    int Run();

private:
    int Fail(int code, const std::string& message)
    {
        m_err << "dniarz: " << message << '\n';
        return code;
    }
    std::optional<std::string> Password(const std::string& account);
    std::optional<std::vector<CalendarInfo>> Discover(CalDavClient& client, CalDavAccount& account, int& code);
    void FetchShown(CalDavAccount& account, const std::vector<CalendarInfo>& shownCalendars, bool& failed);

    const SyncCommandInput& m_in;
    SyncServices m_services;
    std::ostream& m_out;
    std::ostream& m_err;
    Settings m_settings;
    bool m_askedPassword = false;
};

std::optional<std::string> SyncRun::Password(const std::string& account)
{
    if (m_in.environmentPassword)
        return m_in.environmentPassword;
    std::string problem;
    if (std::optional<std::string> stored = m_services.passwords.Read(account, problem))
        return stored;
    if (!problem.empty())
        m_err << "dniarz: hasło nie może być przechowane: " << problem
              << "; trzeba je podawać przy każdym uruchomieniu\n";
    if (!m_in.ask)
        return std::nullopt;
    m_askedPassword = true;
    return m_in.ask("Hasło do serwera kalendarzy (" + account + "): ", true);
}

std::optional<std::vector<CalendarInfo>> SyncRun::Discover(CalDavClient& client, CalDavAccount& account, int& code)
{
    std::optional<std::vector<CalendarInfo>> calendars = client.Discover();
    if (!calendars && !client.UntrustedDigest().isEmpty() && m_in.ask) {
        const std::optional<std::string> answer = m_in.ask(client.Error() + " Zaufać mu? [t/N] ", false);
        if (answer && (answer->starts_with("t") || answer->starts_with("T"))) {
            m_settings.TrustedCertificates += (m_settings.TrustedCertificates.empty() ? "" : "\n")
                                              + account.server.host().toStdString() + " "
                                              + client.UntrustedDigest().toStdString();
            (void)SaveValues(m_services.settings, m_settings, {SettingId::TrustedCertificates});
            account.trustedCertificates.append(client.UntrustedDigest());
            CalDavClient trusting(account);
            calendars = trusting.Discover();
            if (!calendars) {
                code = trusting.Unreachable() ? kExitUnreachable : kExitSettings;
                Fail(code, trusting.Error());
            }
            return calendars;
        }
    }
    if (!calendars) {
        code = client.Unreachable() ? kExitUnreachable : kExitSettings;
        Fail(code, client.Error());
    }
    return calendars;
}

void SyncRun::FetchShown(CalDavAccount& account, const std::vector<CalendarInfo>& shownCalendars, bool& failed)
{
    std::vector<ShownCalendar> copy;
    CalDavClient client(account);
    for (const CalendarInfo& calendar : shownCalendars) {
        const auto resources = client.FetchAll(calendar.path);
        if (!resources) {
            m_err << "dniarz: " << calendar.displayName.toStdString() << ": " << client.Error() << '\n';
            failed = true;
            return;  // the copy of the last sync stays whole
        }
        ShownCalendar shown;
        shown.name = calendar.displayName.toStdString();
        int events = 0;
        for (const RemoteResource& r : *resources) {
            events += CountEvents(r.data) > 0 ? 1 : 0;
            shown.resources.push_back(r.data);
        }
        m_out << shown.name << ": wydarzenia " << events << '\n';
        copy.push_back(std::move(shown));
    }
    const std::filesystem::path path = ShownCalendarsPath(m_in.notesPath);
    // The copy of the last sync, whose subscribed files the servers are asked about again. An
    // unreadable copy only costs whole files.
    std::vector<ShownCalendar> held;
    if (const FileRead read = m_services.files.Read(path, kMaxShownCalendarsBytes);
        read.status == FileRead::Status::Read)
        held = ParseShownCalendars(read.contents);
    for (const std::string& address : Lines(m_settings.SyncSubscribed)) {
        const QUrl url(QString::fromStdString(address));
        CalDavAccount open{url, {}, {}, account.timeoutSeconds, TrustedFor(m_settings.TrustedCertificates, url.host())};
        CalDavClient feed(open);
        const auto before = std::find_if(held.begin(), held.end(), [&](const ShownCalendar& c) {
            return c.name == address && c.resources.size() == 1;
        });
        const bool haveCopy = before != held.end();
        const std::optional<CalDavClient::File> file = haveCopy ? feed.GetFile(url, before->etag, before->lastModified)
                                                                : feed.GetFile(url);
        if (!file) {
            m_err << "dniarz: " << address << ": " << feed.Error() << '\n';
            failed = true;
            return;
        }
        ShownCalendar shown;
        shown.name = address;
        shown.resources.push_back(file->unchanged ? before->resources.front() : file->body.toStdString());
        shown.etag = file->etag;
        shown.lastModified = file->lastModified;
        m_out << address << ": wydarzenia " << CountEvents(shown.resources.front()) << '\n';
        copy.push_back(std::move(shown));
    }
    if (const FileProblem problem = m_services.files.Replace(path, FormatShownCalendars(copy));
        problem != FileProblem::None) {
        m_err << "dniarz: " << path.filename().string() << ": " << FileProblemText(problem) << '\n';
        failed = true;
    }
}

int SyncRun::Run()
{
    LoadSettings(m_services.settings, m_settings, m_in.clock.now);
    if (m_in.server) {
        m_settings.SyncServer = *m_in.server;
        m_settings.SyncUser = m_in.user.value_or("");
        m_settings.SyncNotesCalendar.clear();
        m_settings.SyncShownCalendars.clear();
        m_settings.SyncSubscribed.clear();
    } else if (m_in.user) {
        m_settings.SyncUser = *m_in.user;
    }
    if (m_settings.SyncServer.empty())
        return Fail(kExitSettings, "nie ustawiono serwera kalendarzy: podaj --server URL --user NAZWA");
    const QUrl server(QString::fromStdString(m_settings.SyncServer));
    if (!server.isValid() || server.host().isEmpty() || (server.scheme() != "http" && server.scheme() != "https"))
        return Fail(kExitSettings, "błędny adres serwera kalendarzy: " + m_settings.SyncServer
                                       + " (oczekiwano https://serwer/ lub http://serwer:port/)");

    CalDavAccount account{server,
                          QString::fromStdString(m_settings.SyncUser),
                          {},
                          m_in.timeoutSeconds.value_or(m_settings.SyncTimeout),
                          TrustedFor(m_settings.TrustedCertificates, server.host())};
    const std::string accountName = m_settings.SyncUser + "@" + server.host().toStdString();
    std::optional<std::string> password;
    if (!m_settings.SyncUser.empty()) {
        password = Password(accountName);
        if (!password)
            return Fail(kExitSettings, "brak hasła do serwera kalendarzy: ustaw DNIARZ_SYNC_PASSWORD albo uruchom w "
                                       "terminalu");
        account.password = QString::fromStdString(*password);
    }

    CalDavClient client(account);
    // The calendars found before serve as long as the user asks for no other: a sync with nothing
    // to do is then a single request.
    std::vector<CalendarInfo> stored = StoredCalendars(m_settings.SyncNotesCalendar);
    std::vector<CalendarInfo> shown = StoredCalendars(m_settings.SyncShownCalendars);
    CalendarInfo notes;
    if (!m_in.server && !m_in.calendar && m_in.show.empty() && !stored.empty()) {
        notes = stored.front();
    } else {
        int code = 0;
        const std::optional<std::vector<CalendarInfo>> calendars = Discover(client, account, code);
        if (!calendars)
            return code;
        const CalendarInfo* chosen = nullptr;
        if (m_in.calendar) {
            chosen = FindCalendar(*calendars, *m_in.calendar);
            if (!chosen)
                return Fail(kExitSettings,
                            "na serwerze nie ma kalendarza " + *m_in.calendar + "; są: " + CalendarNames(*calendars));
        } else if (!stored.empty()) {
            // Never another calendar in its place: the notes would be merged into it.
            chosen = FindCalendar(*calendars, stored.front().path.toStdString());
            if (!chosen)
                return Fail(kExitSettings,
                            "na serwerze nie ma już kalendarza notatek " + stored.front().displayName.toStdString()
                                + "; wybierz inny po --calendar (są: " + CalendarNames(*calendars) + ")");
        }
        notes = chosen ? *chosen : calendars->front();
        if (m_in.server)
            shown.clear();
        for (const std::string& name : m_in.show) {
            const CalendarInfo* calendar = FindCalendar(*calendars, name);
            if (!calendar)
                return Fail(kExitSettings,
                            "na serwerze nie ma kalendarza " + name + "; są: " + CalendarNames(*calendars));
            if (calendar->path == notes.path)
                return Fail(kExitSettings, "kalendarz " + name + " jest kalendarzem notatek");
            if (std::none_of(shown.begin(), shown.end(),
                             [&](const CalendarInfo& c) { return c.path == calendar->path; }))
                shown.push_back(*calendar);
        }
    }
    if (!m_in.subscribe.empty()) {
        std::vector<std::string> subscribed = Lines(m_settings.SyncSubscribed);
        for (const std::string& address : m_in.subscribe) {
            const QUrl url(QString::fromStdString(address));
            if (!url.isValid() || url.host().isEmpty() || (url.scheme() != "http" && url.scheme() != "https"))
                return Fail(kExitSettings, "błędny adres kalendarza: " + address);
            if (std::find(subscribed.begin(), subscribed.end(), address) == subscribed.end())
                subscribed.push_back(address);
        }
        m_settings.SyncSubscribed = JoinLines(subscribed);
    }
    m_settings.SyncNotesCalendar = StoredCalendar(notes);
    std::vector<std::string> shownLines;
    for (const CalendarInfo& c : shown)
        shownLines.push_back(StoredCalendar(c));
    m_settings.SyncShownCalendars = JoinLines(shownLines);
    // The account is kept once the server has taken it.
    if (!SaveValues(m_services.settings, m_settings,
                    {SettingId::SyncServer, SettingId::SyncUser, SettingId::SyncNotesCalendar,
                     SettingId::SyncShownCalendars, SettingId::SyncSubscribed}))
        m_err << "dniarz: nie udało się zapisać ustawień konta\n";

    if (const auto error = m_services.journal.OpenNotes(m_in.notesPath))
        return Fail(kExitSettings, OneLine(*error));
    client.UseCollection(notes.path);
    NoteSyncOutcome outcome;
    std::string stateNotSaved;
    try {
        outcome = SyncNotesRemembering(m_services.journal, m_services.files, client, m_in.clock, &stateNotSaved);
    } catch (const EInOutError& e) {
        (void)m_services.journal.Close();  // its failure is the one just caught
        return Fail(kExitSettings, OneLine(e.what()));
    }
    if (const auto closeError = m_services.journal.Close())
        return Fail(kExitSettings, OneLine(*closeError));
    m_out << notes.displayName.toStdString() << ": wysłane " << outcome.sent << ", odebrane " << outcome.received
          << ", konflikty " << outcome.conflicts << '\n';
    if (outcome.replacedCharacters > 0)
        m_err << "dniarz: w odebranych notatkach (" << outcome.replacedCharacters
              << ") znaki, których plik notatek nie mieści, zastąpiono znakiem \"?\"; na serwerze zostają bez "
                 "zmian, dopóki notatka nie zostanie poprawiona\n";
    if (outcome.refused > 0)
        m_err << "dniarz: serwer nie przyjął notatek: " << outcome.refused
              << "; kolejna synchronizacja spróbuje znowu\n";
    if (!stateNotSaved.empty())
        m_err << "dniarz: " << stateNotSaved << '\n';
    if (!outcome.error.empty())
        return Fail(kExitUnreachable, outcome.error);
    // Kept only once the server has taken it.
    if (m_askedPassword && password) {
        std::string problem;
        if (!m_services.passwords.Write(accountName, *password, problem))
            m_err << "dniarz: hasło nie zostało zapamiętane: " << problem << '\n';
    }
    bool shownFailed = false;
    FetchShown(account, shown, shownFailed);
    return shownFailed ? kExitUnreachable : 0;
}

}  // namespace

int RunSyncCommand(const SyncCommandInput& input, SyncServices services, std::ostream& out, std::ostream& err)
{
    static int argc = 1;
    static char name[] = "dniarz";
    static char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> application;
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);
    return SyncRun(input, services, out, err).Run();
}
