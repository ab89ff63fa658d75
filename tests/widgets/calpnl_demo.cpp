// Renders the main window's four month grids for December 2024 to a PNG, for looking at.
// Usage: calpnl_demo [out.png [magnification]]   (default: calpnl_december_2024.png in the current
// folder, actual size; a magnification of 2..8 enlarges the pixels for a closer look)
#include "calendar/feasts.h"
#include "widgets/calendar_panel.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

// As the main window sets them up, with the settings' built-in colours; today is 24 December 2024.
void SetUp(TCalenPnl& panel, int year, int month, const std::vector<std::string>& holidays)
{
    panel.SetShowDate(true);
    panel.SetGermanDate(true);
    panel.SetColSunday(QColor(255, 0, 0));
    panel.SetColHoliday(QColor(255, 0, 0));
    panel.SetColSaturday(QColor(0, 0, 255));
    panel.SetColMarked(QColor(255, 0, 255));
    panel.SetColWeek(QColor(128, 0, 0));
    panel.SetColToday(QColor(0, 255, 255));
    panel.SetHolidays(holidays);
    panel.SetMarkdays({"2024.12.03", "2024.12.24", "    .12.10", "2025.01.15"});
    panel.SetMonth(month);
    panel.SetYear(year);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("calpnl_december_2024.png");

    const auto today = [] { return EncodeDate(2024, 12, 24); };
    std::vector<std::string> holidays = FixedHolidays();
    const MoveableHolidays moveable = MoveableHolidayEntries(2024);
    holidays.push_back(moveable.easterMonday);
    holidays.push_back(moveable.corpusChristi);

    QWidget window;
    window.resize(579, 400);
    window.setAutoFillBackground(true);
    TCalenPnl cal(&window, today), calb(&window, today), calf(&window, today), calff(&window, today);
    cal.setGeometry(12, 208, 249, 181);
    calb.setGeometry(12, 36, 141, 161);
    calf.setGeometry(272, 36, 141, 161);
    calff.setGeometry(424, 36, 141, 161);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(15);
    cal.setFont(font);
    cal.SetUseLongDate(true);
    cal.SetShowWeeks(true);
    SetUp(cal, 2024, 12, holidays);
    cal.SetSelectedDate(EncodeDate(2024, 12, 6));
    SetUp(calb, 2024, 11, holidays);
    SetUp(calf, 2025, 1, holidays);
    SetUp(calff, 2025, 2, holidays);
    for (TCalenPnl* small : {&calb, &calf, &calff})
        small->setEnabled(false);
    window.show();

    QImage image(window.size(), QImage::Format_RGB32);
    window.render(&image);
    QPainter(&image).fillRect(164, 36, 97, 161, Qt::white);  // where the day panel goes
    const int magnification = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 8) : 1;
    if (magnification > 1)
        image = image.scaled(image.size() * magnification, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!image.save(out)) {
        qWarning("cannot write %s", qPrintable(out));
        return 1;
    }
    qInfo("%s", qPrintable(out));
    return 0;
}
