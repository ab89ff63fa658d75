// The main window's tray icon and the ways it hides, comes back and ends: the tray menu, Ctrl+Q,
// the window's own menu where the desktop has no notification area, and the close button.
#include "app/ui/main_window.h"

#include "app/ui/clock_bar.h"
#include "app/ui/clock_controller.h"
#include "app/ui/icons.h"
#include "app/ui/notes_controller.h"
#include "app/ui/tray_icon.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

void TForm1::CreateTray()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    m_trayMenu->addAction(QStringLiteral("Pokaż"), this, &TForm1::ShowFromTray);
    m_trayMenu->addAction(QStringLiteral("Kontakty"), this, &TForm1::OpenContacts);
    m_trayMenu->addAction(QStringLiteral("Wył. alarm"), this, [this] { m_clockController->Bar()->StopClick(); });
    m_trayMenu->addAction(QStringLiteral("Drzemka"), this, [this] { m_clockController->Bar()->SnoozeClick(); });
    m_trayMenu->addActions(m_notes->Tools());
    m_trayMenu->addAction(QStringLiteral("Zakończ"), this, &TForm1::Quit);

    m_trayIcon = new TTrayNotifyIcon(this);
    m_trayIcon->SetIcon(QGuiApplication::windowIcon().isNull() ? AppIcon() : QGuiApplication::windowIcon());
    m_trayIcon->SetHint(QStringLiteral("Dniarz"));
    // A click already brings the window back; waiting out the double-click time would only
    // make that feel slow.
    m_trayIcon->SetNoDoubleClick(true);
    m_trayIcon->SetPopupMenu(m_trayMenu);
    connect(m_trayIcon, &TTrayNotifyIcon::OnClick, this, &TForm1::ShowFromTray);
    connect(m_trayIcon, &TTrayNotifyIcon::OnDblClick, this, &TForm1::ShowFromTray);
    m_quitRequested = false;
    m_trayIcon->SetIconVisible(true);
}

void TForm1::CreateQuitPaths()
{
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &TForm1::Quit);
    if (m_options.withTray && m_options.trayAvailable)
        return;
    // Without a notification area the tray menu has no icon to open from, and closing only
    // minimises: the window itself offers the menu, so that the program can still be ended.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add(QStringLiteral("Kontakty"), &TForm1::OpenContacts);
    add(QStringLiteral("Wył. alarm"), [this] { m_clockController->Bar()->StopClick(); });
    add(QStringLiteral("Drzemka"), [this] { m_clockController->Bar()->SnoozeClick(); });
    addActions(m_notes->Tools());
    add(QStringLiteral("Zakończ"), &TForm1::Quit);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event)
{
    // The tray menu's entries (iCalendar among them) are reached with the mouse through the tray
    // icon; from the keyboard, the menu key or Shift+F10 opens the same menu over the window. A
    // right click keeps doing nothing here, as before.
    if (event->reason() != QContextMenuEvent::Keyboard || !m_trayMenu
        || contextMenuPolicy() != Qt::DefaultContextMenu) {
        QWidget::contextMenuEvent(event);
        return;
    }
    QWidget* focus = focusWidget();
    const QPoint at = focus ? focus->mapToGlobal(focus->rect().center()) : mapToGlobal(rect().center());
    m_trayMenu->popup(at);
    event->accept();
}

void TForm1::StartShown(bool hide)
{
    if (!hide)
        show();
    else if (!(m_options.withTray && m_options.trayAvailable))
        showMinimized();
}

void TForm1::ShowFromTray()
{
    m_clockController->StopAlarmSound();
    if (isVisible()) {
        // Already up (or only minimised): bring it forward, leave the date alone.
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
    show();
    raise();
    activateWindow();
    if (m_recallSelectsToday)
        SelectToday();
}

void TForm1::Quit()
{
    m_quitRequested = true;
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The edited note is saved on every close, also when the window only goes to the tray.
    SaveNote();
    if (!m_quitRequested) {
        event->ignore();
        if (m_options.withTray && m_options.trayAvailable) {
            hide();
            HideContacts();
        } else {
            // Without a notification area nothing could bring a hidden window back.
            showMinimized();
        }
        return;
    }
    m_notes->CloseNotesFile();
    event->accept();
    emit Finished();
}
