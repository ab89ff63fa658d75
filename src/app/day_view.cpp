// The day view's decisions.
#include "app/day_view.h"

#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"
#include "calendar/school_year.h"
#include "calendar/trading_sundays.h"
#include "calendar/working_time.h"

std::optional<GridMonth> OffsetMonth(int year, int month, int offset)
{
    const int index = year * 12 + (month - 1) + offset;
    const GridMonth result{index / 12, index % 12 + 1};
    if (index < 0 || result.year < kMinYear || result.year > kMaxYear)
        return std::nullopt;
    return result;
}

void DayView::SetSchoolBreaks(const WinterHolidays* winter, std::string voivodeship)
{
    m_winter = winter;
    m_voivodeship = std::move(voivodeship);
}

std::string DayView::SchoolBreakOf(TDateTime date) const
{
    // The breaks are the schools' of one voivodeship: without one they are nobody's to show.
    if (m_voivodeship.empty())
        return {};
    static const WinterHolidays kNone;
    return SchoolBreak(date, m_winter ? *m_winter : kNone, m_voivodeship);
}

DayViewUpdate DayView::Refresh(TDateTime selected, bool forceMonth)
{
    selected = DateOf(selected);
    const DateParts date = DecodeDate(selected);
    DayViewUpdate update;
    if (forceMonth || date.year != m_year || date.month != m_month) {
        m_year = date.year;
        m_month = date.month;
        m_easter = EasterSunday(date.year);
        update.month = MakeMonthView(selected, date);
    }
    m_day = date.day;
    update.panel = MakePanelTexts(selected, date);
    return update;
}

MonthView DayView::MakeMonthView(TDateTime selected, const DateParts& date) const
{
    MonthView view;
    view.monthName = FormatDateTime("mmmm", selected);
    view.year = date.year;
    const WorkingTime norm = MonthWorkingTime(date.year, date.month);
    view.workingTime = "Wymiar czasu pracy: " + std::to_string(norm.days) + " dni, " + std::to_string(norm.hours)
                       + " godz.";
    view.holidays[0] = HolidayEntries(date.year);
    for (int i = 0; i < 3; ++i) {
        view.neighbours[i] = OffsetMonth(date.year, date.month, i == 0 ? -1 : i);
        if (view.neighbours[i])
            view.holidays[i + 1] = HolidayEntries(view.neighbours[i]->year);
    }
    if (m_voivodeship.empty())
        return view;
    const auto breakDays = [this](int year, int month) {
        std::vector<std::string> keys;
        for (int day = 1; day <= DaysInMonth(year, month); ++day)
            if (!SchoolBreakOf(EncodeDate(year, month, day)).empty())
                keys.push_back(DateKey(year, month, day));
        return keys;
    };
    view.schoolBreakDays[0] = breakDays(date.year, date.month);
    for (int i = 0; i < 3; ++i)
        if (view.neighbours[i])
            view.schoolBreakDays[i + 1] = breakDays(view.neighbours[i]->year, view.neighbours[i]->month);
    return view;
}

DayPanelTexts DayView::MakePanelTexts(TDateTime selected, const DateParts& date) const
{
    DayTexts texts = NamesAndHoliday(m_names, selected, m_easter);
    DayPanelTexts panel;
    panel.day = date.day;
    panel.weekday = FormatDateTime("dddd", selected);
    // A feast text ends in a line break so that the names would start on a line of their own;
    // the panel places the names itself.
    while (!texts.holiday.empty() && (texts.holiday.back() == '\n' || texts.holiday.back() == '\r'))
        texts.holiday.pop_back();
    panel.holiday = std::move(texts.holiday);
    // Said beside the holiday, never instead of it: Palm Sunday is always a trading Sunday.
    if (IsTradingSunday(selected).value_or(false))
        panel.holiday += (panel.holiday.empty() ? "" : "\n") + std::string("Niedziela handlowa");
    // The break's name as a line of the panel begins: "Ferie zimowe". Every name starts with a
    // plain letter.
    if (std::string schoolBreak = SchoolBreakOf(selected); !schoolBreak.empty()) {
        if (schoolBreak[0] >= 'a' && schoolBreak[0] <= 'z')
            schoolBreak[0] = static_cast<char>(schoolBreak[0] - 'a' + 'A');
        panel.holiday += (panel.holiday.empty() ? "" : "\n") + schoolBreak;
    }
    if (IsSaturdayHoliday(selected))
        panel.holidayHint = "Święto w sobotę — przysługuje inny dzień wolny";
    panel.namesInline = JoinNames(texts.names);
    panel.names = std::move(texts.names);
    return panel;
}
