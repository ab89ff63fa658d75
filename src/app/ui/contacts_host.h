// The main window's side of the contacts book, the about window and the desktop links: it makes
// the contacts window on first use and keeps it for the run.
#pragma once

#include <QObject>

#include <filesystem>
#include <memory>

class FileStore;
class QWidget;
class Sound;
class Ttelform;
class UrlLauncher;

// What the windows use. The program hands over the system's; any left empty gets a stand-in that
// reads and writes nothing, plays nothing and opens addresses through Qt.
struct ContactsHostServices
{
    FileStore* files = nullptr;
    Sound* sound = nullptr;
    UrlLauncher* links = nullptr;
};

class ContactsHost : public QObject
{
    Q_OBJECT
public:
    // The contacts book lives in `programDir`; the description is the user's own "info.rtf" there,
    // else the one shipped in `sharedDir`.
    ContactsHost(QWidget* mainWindow, std::filesystem::path programDir, std::filesystem::path sharedDir,
                 ContactsHostServices services = {});
    ~ContactsHost() override;

    // "Tel." and "Kontakty": shows the window, not modally.
    void OpenContacts();
    // The contacts window follows the main window into the tray.
    void HideContacts();
    // "Info": a new about window, modal over `parent` (the main window when none), destroyed when closed.
    void ShowInfo(QWidget* parent = nullptr);
    // Null until first opened.
    Ttelform* Contacts() const { return m_contacts; }
    UrlLauncher& Links() { return *m_services.links; }

private:
    QWidget* m_mainWindow;
    std::filesystem::path m_programDir;
    std::filesystem::path m_sharedDir;
    ContactsHostServices m_services;
    std::unique_ptr<FileStore> m_ownFiles;
    std::unique_ptr<Sound> m_ownSound;
    std::unique_ptr<UrlLauncher> m_ownLinks;
    Ttelform* m_contacts = nullptr;
};
