// Making and showing the contacts and about windows.
#include "app/ui/contacts_host.h"

#include "app/ui/info_window.h"
#include "ui_support/message_box.h"
#include "app/ui/show_error.h"
#include "contacts/ui/contacts_window.h"
#include "platform/file_store.h"
#include "platform/program_dir.h"
#include "platform/sound.h"
#include "platform/url_launcher.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

namespace {

// Stand-ins for services the program did not hand over, as in pictures and some tests: nothing
// is read or written, no tone sounds, and addresses go to Qt's own opener.
class NoFiles final : public FileStore
{
public:
    FileRead Read(const std::filesystem::path&, std::uint64_t) override { return {}; }
    FileProblem Replace(const std::filesystem::path&, std::string_view) override { return FileProblem::Other; }
    FileProblem ExportContents(const std::filesystem::path&, std::string_view) override { return FileProblem::Other; }
    bool RenameToFreeName(const std::filesystem::path&, const std::filesystem::path&) override { return false; }
};

class NoSound final : public Sound
{
public:
    void PlayTone(int, int) override {}
    bool PlayAlarmWave(const std::filesystem::path&, const std::function<bool()>&) override { return false; }
};

class QtUrlLauncher final : public UrlLauncher
{
public:
    bool OpenInBrowser(const std::string& address) override
    {
        return IsSafeAddress(address)
               && QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
    }
    bool OpenMail(const std::string& address) override
    {
        return QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromStdString(address)));
    }
};

}  // namespace

ContactsHost::ContactsHost(QWidget* mainWindow, std::filesystem::path programDir, std::filesystem::path sharedDir,
                           ContactsHostServices services)
    : QObject(mainWindow), m_mainWindow(mainWindow), m_programDir(std::move(programDir)),
      m_sharedDir(std::move(sharedDir)), m_services(services)
{
    if (!m_services.files) {
        m_ownFiles = std::make_unique<NoFiles>();
        m_services.files = m_ownFiles.get();
    }
    if (!m_services.sound) {
        m_ownSound = std::make_unique<NoSound>();
        m_services.sound = m_ownSound.get();
    }
    if (!m_services.links) {
        m_ownLinks = std::make_unique<QtUrlLauncher>();
        m_services.links = m_ownLinks.get();
    }
}

ContactsHost::~ContactsHost()
{
    // The window saves the book as it goes, and it must do so while the services still exist.
    delete m_contacts;
}

void ContactsHost::OpenContacts()
{
    if (!m_contacts) {
        m_contacts = new Ttelform({*m_services.files, *m_services.sound, *m_services.links,
                                   [](QWidget* parent, const QString& message) { ShowError(parent, message); },
                                   [](QWidget* parent, const QString& caption, const QString& question) {
                                       return AppMessageBox::Show(parent, QMessageBox::Question, caption, question,
                                                                  QMessageBox::Yes | QMessageBox::No)
                                              == QMessageBox::Yes;
                                   }},
                                  m_programDir);
    }
    m_contacts->show();
    m_contacts->raise();
    m_contacts->activateWindow();
}

void ContactsHost::HideContacts()
{
    if (m_contacts)
        m_contacts->hide();
}

void ContactsHost::ShowInfo(QWidget* parent)
{
    Tinfo info(*m_services.files, *m_services.links, LocateProgramFile(m_programDir, m_sharedDir, "info.rtf"),
               parent ? parent : m_mainWindow);
    info.exec();
}
