// The rules of the start-with-the-system switch.
#include "app/auto_runner.h"

TAutoRunner::TAutoRunner(StartupEntry& entries, std::string programFile, std::vector<std::string> moreArguments)
    : m_entries(entries), m_programFile(std::move(programFile)), m_moreArguments(std::move(moreArguments))
{
}

bool TAutoRunner::SetRegLocation(TRegLocation location)
{
    if (location == m_regLocation)
        return true;
    // The entry moves with the location. Trying the new place removed the old entry, so a
    // refused move puts it back; the box stays ticked only if the old place then holds it.
    if (!ApplyRunEntry(location, m_appName)) {
        (void)ApplyRunEntry(m_regLocation, m_appName);
        m_autoRun = m_autoRun && HasEntry(m_regLocation);
        return false;
    }
    m_regLocation = location;
    ApplyServicesRule();
    return true;
}

void TAutoRunner::SetAutoRunWhere(TAutoRunWhere where)
{
    if (where == m_autoRunWhere)
        return;
    m_autoRunWhere = where;
    ApplyServicesRule();
}

bool TAutoRunner::SetAutoRun(bool autoRun)
{
    if (autoRun == m_autoRun || !m_live)
        return true;
    m_autoRun = autoRun;
    ApplyServicesRule();
    if (ApplyRunEntry(m_regLocation, m_appName))
        return true;
    // The box follows what the system will do: a refused write leaves no entry, a refused
    // removal leaves one that still starts the program.
    m_autoRun = !autoRun;
    return false;
}

void TAutoRunner::SetAppName(const std::string& name)
{
    // Only the setup looks for the entry; renaming a live switch later changes nothing on the system.
    m_appName = name;
    if (!m_live)
        ProbeRunEntry();
}

void TAutoRunner::ApplyServicesRule()
{
    // The service start keys exist only for the whole machine.
    if (m_regLocation == TRegLocation::CurrentUser
        && (m_autoRunWhere == TAutoRunWhere::RunServices || m_autoRunWhere == TAutoRunWhere::RunServicesOnce)) {
        m_autoRunWhere = TAutoRunWhere::Run;
    }
}

void TAutoRunner::ProbeRunEntry()
{
    if (HasEntry(TRegLocation::CurrentUser)) {
        m_regLocation = TRegLocation::CurrentUser;
        m_autoRun = true;
    } else if (HasEntry(TRegLocation::LocalMachine)) {
        m_regLocation = TRegLocation::LocalMachine;
        m_autoRun = true;
    } else {
        m_autoRun = false;
    }
}

bool TAutoRunner::HasEntry(TRegLocation where) const
{
    // An entry with an empty command starts nothing, so it counts as absent.
    const auto command = m_entries.Read(where, m_appName);
    return command && !command->empty();
}

bool TAutoRunner::ApplyRunEntry(TRegLocation location, const std::string& name)
{
    if (!m_live)
        return true;
    // Removing from both places first leaves at most one entry; the machine's refuses an
    // ordinary user, which is expected and ignored.
    m_entries.Remove(TRegLocation::CurrentUser, m_appName);
    m_entries.Remove(TRegLocation::LocalMachine, m_appName);
    // An entry left behind (the machine's, which an ordinary user may not remove) still starts
    // the program at the next logon: the user must hear that unticking did not take.
    if (!m_autoRun)
        return !HasEntry(TRegLocation::CurrentUser) && !HasEntry(TRegLocation::LocalMachine);
    std::vector<std::string> arguments;
    if (!m_appParam.empty())
        arguments.push_back(m_appParam);
    arguments.insert(arguments.end(), m_moreArguments.begin(), m_moreArguments.end());
    return m_entries.Write(location, name, m_programFile, arguments);
}

TAutoRunner MainWindowAutoRunner(StartupEntry& entries, std::string programFile, std::vector<std::string> moreArguments)
{
    TAutoRunner runner(entries, std::move(programFile), std::move(moreArguments));
    runner.SetRegLocation(TRegLocation::CurrentUser);
    runner.SetAutoRunWhere(TAutoRunWhere::Run);
    runner.SetAppParam("-hide");
    runner.SetAppName("ZWDniarz");
    runner.Loaded();
    return runner;
}

std::string AutoRunNotRemovedMessage()
{
    return "Nie udało się usunąć wpisu automatycznego uruchomienia programu. Wpis dla wszystkich "
           "użytkowników może usunąć tylko administrator. Program nadal będzie uruchamiany podczas "
           "startu systemu.";
}

std::string AutoRunNotWrittenMessage(const std::string& programFile)
{
    return "Nie udało się zapisać wpisu automatycznego uruchomienia programu:\r\n" + programFile
           + "\r\nŚcieżka programu może zawierać znaki, których wpis nie przyjmuje. Program nie będzie "
             "uruchamiany podczas startu systemu.";
}
