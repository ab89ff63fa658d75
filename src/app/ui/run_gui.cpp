// Start-up of the window. Until the full main window lands this shows the printed day view.
#include "app/ui/run_gui.h"

#include <QApplication>
#include <QLabel>

#include "app/print_day.h"
#include "calendar/namedays.h"
#include "platform/linux/linux_system_clock.h"

int RunWindow(int argc, char** argv, const CommandLine& options, const std::filesystem::path& programDir)
{
    (void)programDir;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dniarz"));
    NameDayTable table;
    table.Load();
    LinuxSystemClock clock;
    const PrintDayInput input{options.date.value_or(clock.LocalNow()), &table};
    QLabel label(QString::fromStdString(FormatPrintDay(PrintDayLines(input))));
    label.setWindowTitle(QStringLiteral("Dniarz"));
    label.setMargin(16);
    if (!options.hide)
        label.show();
    return QApplication::exec();
}
