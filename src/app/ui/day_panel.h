// Panel1: the day panel between the small grids, with the weekday, the day number, the month and
// year, the sun and moon line, and the holiday over the names of the day.
#pragma once

#include "app/name_reminders.h"

#include <QFrame>

#include <string>
#include <vector>

class QColor;
class QLabel;

class DayPanel : public QFrame
{
    Q_OBJECT
public:
    explicit DayPanel(QWidget* form);

    // Texts may hold CR LF line breaks.
    void SetWeekday(const std::string& text);
    void SetDayNumber(int day, const QColor& colour);
    // `hint`: the month name's tooltip (the month's working-time norm).
    void SetMonthAndYear(const std::string& month, int year, const std::string& hint = {});
    void SetSunLine(const std::string& caption, const std::string& hint);
    // The holiday (empty: none) over the names, which start right under it. The names go one a
    // line, or comma-separated (`namesInline`) when the lines would not fit the panel; the chosen
    // ones in bold.
    // `holidayHint` is the holiday's tooltip.
    void SetNamesAndHoliday(const std::string& holiday, const std::vector<NameRun>& names,
                            const std::vector<NameRun>& namesInline, const std::string& holidayHint = {});

private:
    // The labels keep their established names, which are also their object names.
    QLabel* ltydzien = nullptr;
    QLabel* ldzien = nullptr;
    QLabel* lmiesiac = nullptr;
    QLabel* lrok = nullptr;
    QLabel* slonce = nullptr;
    QLabel* limien = nullptr;
    QLabel* lextraday = nullptr;
};
