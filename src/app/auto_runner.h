// TAutoRunner: the main window's start-with-the-system switch over the system's logon entries.
#pragma once

#include <string>
#include <vector>

#include "platform/startup_entry.h"

// While it is being set up (`IsLive` false) the setters only store values, except that setting
// AppName looks for an existing entry; after Loaded() changing AutoRun or RegLocation rewrites
// the entry. An entry that could not be written leaves AutoRun off, so that the box never shows
// a start that will not happen; a location that refuses the entry is not taken, and the entry
// goes back where it was. Failures to remove an entry are swallowed.
class TAutoRunner
{
public:
    // `programFile` is the full path of the running program, written into the entry; the entry
    // passes it AppParam and then `moreArguments`.
    TAutoRunner(StartupEntry& entries, std::string programFile, std::vector<std::string> moreArguments = {});

    TRegLocation RegLocation() const { return m_regLocation; }
    TAutoRunWhere AutoRunWhere() const { return m_autoRunWhere; }
    bool AutoRun() const { return m_autoRun; }
    const std::string& AppName() const { return m_appName; }
    const std::string& AppParam() const { return m_appParam; }
    // The system's name of the place that entries of AutoRunWhere's kind are kept in.
    std::string RunKeyPath() const { return m_entries.RunKeyPath(m_autoRunWhere); }
    bool IsLive() const { return m_live; }

    // False when the entry could not be written at `location`: RegLocation then stays as it was,
    // and AutoRun goes off unless the old location still holds the entry.
    bool SetRegLocation(TRegLocation location);
    void SetAutoRunWhere(TAutoRunWhere where);
    // False when the entry asked for could not be written; AutoRun is then off.
    bool SetAutoRun(bool autoRun);
    void SetAppName(const std::string& name);
    void SetAppParam(const std::string& param) { m_appParam = param; }
    // Ends the setup; from now on changes reach the system.
    void Loaded() { m_live = true; }

private:
    void ApplyServicesRule();
    void ProbeRunEntry();
    bool HasEntry(TRegLocation where) const;
    bool ApplyRunEntry(TRegLocation location, const std::string& name);

    StartupEntry& m_entries;
    std::string m_programFile;
    std::vector<std::string> m_moreArguments;
    TRegLocation m_regLocation = TRegLocation::CurrentUser;
    TAutoRunWhere m_autoRunWhere = TAutoRunWhere::Run;
    bool m_autoRun = false;
    std::string m_appName;
    std::string m_appParam;
    bool m_live = false;
};

// The main window's instance, set up and live: the user's entry "ZWDniarz", started with "-hide"
// and `moreArguments`.
TAutoRunner MainWindowAutoRunner(StartupEntry& entries, std::string programFile,
                                 std::vector<std::string> moreArguments = {});

// The message for a start entry that could not be written, naming the program's path, whose
// characters (a line break, a name in another encoding than UTF-8) are the usual cause.
std::string AutoRunNotWrittenMessage(const std::string& programFile);
// What the user is told when unticking left an entry that still starts the program.
std::string AutoRunNotRemovedMessage();
