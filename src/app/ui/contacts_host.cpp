// Making and showing the contacts and about windows.
#include "app/ui/contacts_host.h"

#include "app/ui/info_window.h"
#include "app/ui/message_box.h"
#include "app/ui/show_error.h"
#include "contacts/ui/contacts_window.h"
#include "platform/linux/linux_file_store.h"
#include "platform/linux/xdg_url_launcher.h"
#include "platform/sound.h"

#include <QWidget>

namespace {

// Until the program has a sound card of its own to hand over, the tone is only left out.
class NoSound final : public Sound
{
public:
    void PlayTone(int, int) override { }
    bool PlayAlarmWave(const std::filesystem::path&) override { return false; }
};

} // namespace

ContactsHost::ContactsHost(QWidget* mainWindow, std::filesystem::path programDir, ContactsHostServices services)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_programDir(std::move(programDir))
    , m_services(services)
{
    if (!m_services.files) {
        m_ownFiles = std::make_unique<LinuxFileStore>();
        m_services.files = m_ownFiles.get();
    }
    if (!m_services.sound) {
        m_ownSound = std::make_unique<NoSound>();
        m_services.sound = m_ownSound.get();
    }
    if (!m_services.links) {
        m_ownLinks = std::make_unique<XdgUrlLauncher>();
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
        m_contacts = new Ttelform({ *m_services.files, *m_services.sound, *m_services.links,
                                      [](QWidget* parent, const QString& message) { ShowError(parent, message); },
                                      [](QWidget* parent, const QString& caption, const QString& question) {
                                          return AppMessageBox::Show(parent, QMessageBox::Question, caption, question,
                                                     QMessageBox::Yes | QMessageBox::No)
                                              == QMessageBox::Yes;
                                      } },
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

void ContactsHost::ShowInfo()
{
    Tinfo info(*m_services.files, m_programDir, m_mainWindow);
    info.exec();
}
