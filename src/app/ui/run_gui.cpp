// Start-up of the window and of the window picture.
#include "app/ui/run_gui.h"

#include "app/ui/accessibility.h"
#include "app/ui/icons.h"
#include "app/version.h"
#include "app/ui/main_window.h"
#include "ui_support/qt_language.h"
#include "app/ui/show_error.h"
#include "platform/path_text.h"
#include "platform/read_only_journal_file.h"
#include "platform/termination_signal.h"
#include "ui_support/caret_rest.h"
#include "ui_support/program_style.h"
#include "ui_support/qt_windows.h"

#include <QPixmap>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

void ConfigureApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Dniarz"));
    // Desktops match the window to its menu entry by this name (the Wayland app id), and by the
    // window class "Dniarz" that the application name gives on X11.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
    QApplication::setWindowIcon(AppIcon());
    // Before any window: the contacts book may be opened alone.
    InstallWindowAccessibility();
    // The window is laid out in fixed pixels; a desktop theme with wider margins would crowd it.
    if (QStyle* style = CreateProgramStyle())
        QApplication::setStyle(style);
    // Hiding to the tray closes no window for good, but a message box closed while the main
    // window is hidden would otherwise end the program.
    app.setQuitOnLastWindowClosed(false);
    InstallQtPolishTranslation();
    UseWindowFontInQtsOwnWindows();
    // QApplication adopts the user's locale for the C library; numbers in files and settings are
    // always written and read with a full stop.
    std::setlocale(LC_NUMERIC, "C");
}

// A picture gets a window that stands still and leaves the tray alone.
MainWindowOptions WindowOptions(const CommandLine& options, const ProgramFiles& files, bool picture)
{
    MainWindowOptions windowOptions;
    windowOptions.programDir = files.userDir;
    windowOptions.sharedDir = files.sharedDir;
    windowOptions.date = options.date;
    windowOptions.withTray = !picture;
    windowOptions.trayAvailable = !picture && QSystemTrayIcon::isSystemTrayAvailable();
    windowOptions.startTimers = !picture;
    windowOptions.persist = !picture;
    windowOptions.configOnFirstRun = !picture;
    windowOptions.infoLinks = BuiltInfoLinks(QString::fromStdString(PathToUtf8(HelpDocument(files))));
    return windowOptions;
}

}  // namespace

int RunWindow(int argc, char** argv, const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    TApplication app(argc, argv);
    ConfigureApplication(app);
    const CaretRest caretRest;
    MainWindowOptions windowOptions = WindowOptions(options, files, false);
    windowOptions.startupEntry = platform.startupEntry.get();
    windowOptions.programFile = platform.programFile;
    // A folder chosen by hand must be the folder of the next logon's start too, or the notes would
    // seem lost.
    if (files.source == ProgramFiles::Source::Option || files.source == ProgramFiles::Source::Environment) {
        std::error_code ec;
        const std::filesystem::path dir = std::filesystem::absolute(files.userDir, ec);
        windowOptions.programArguments = {"--dir", PathToUtf8(ec ? files.userDir : dir)};
    }
    windowOptions.contacts.files = platform.files.get();
    windowOptions.contacts.links = platform.urlLauncher.get();
    // The platform outlives the window, and the contacts' tone threads end with the window.
    windowOptions.contacts.sound = platform.sound.get();
    windowOptions.udp = platform.udp;
    windowOptions.workerClock = platform.workerClock;
    const std::unique_ptr<DesktopNotifier> notifications = platform.makeNotifier ? platform.makeNotifier() : nullptr;
    TForm1 form({*platform.clock, *platform.settings, *platform.notesFile, platform.sound, notifications.get()},
                std::move(windowOptions));
    QObject::connect(&form, &TForm1::Finished, &app, &QApplication::quit, Qt::QueuedConnection);

    // A logout or kill ends the program the way "Zakończ" does, so the note and the alarm are saved;
    // but no box may wait for an answer then, and the end comes within seconds whatever happens.
    const int signalFd = InstallTerminationSignalPipe();
    if (signalFd >= 0) {
        auto* notifier = new QSocketNotifier(signalFd, QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form, signalFd] {
            DrainTerminationSignalPipe(signalFd);
            SetErrorsToStandardError(true);
            LimitTimeToEnd(10);
            form.Quit();
            // A box that was already open has its own event loop; this ends it as well.
            QApplication::exit(0);
        });
    }
    form.StartShown(options.hide);
    return QApplication::exec();
}

int RunScreenshot(int argc, char** argv, const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    // Always offscreen: the picture must not depend on the desktop, and there may be none. Where
    // that platform does not find the system's fonts by itself, it is told where they are.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!platform.fontDir.empty() && !qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", QByteArray::fromStdString(PathToUtf8(platform.fontDir)));
    TApplication app(argc, argv);
    ConfigureApplication(app);
    // The picture shows the user's settings and notes but changes neither.
    ReadOnlyJournalFile notesFile(*platform.notesFile);
    TForm1 form({*platform.clock, *platform.settings, notesFile}, WindowOptions(options, files, true));
    // What the start-up timer's second refresh would have done.
    form.RefreshDay(false);
    const QPixmap picture = form.grab();
    if (!picture.save(QString::fromStdString(options.screenshotFile), "PNG")) {
        std::cerr << "dniarz: nie można zapisać pliku " << options.screenshotFile << '\n';
        return 1;
    }
    return 0;
}
