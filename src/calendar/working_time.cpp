// Working time by the Labour Code.
#include "calendar/working_time.h"

#include "calendar/feasts.h"

WorkingTime MonthWorkingTime(int year, int month)
{
    // Counting the weeks from the first of the month, 40 hours a week and 8 for each weekday left
    // over come to 8 hours for every Monday to Friday of the month.
    const TDateTime first = EncodeDate(year, month, 1);
    int hours = 0;
    for (int day = 0; day < DaysInMonth(year, month); ++day) {
        const int weekday = DayOfWeek(first + day);  // 1 = Sunday, 7 = Saturday
        if (weekday >= 2 && weekday <= 6)
            hours += 8;
        if (weekday != 1 && IsPublicHoliday(first + day))
            hours -= 8;
    }
    return {hours, hours / 8};
}

bool IsSaturdayHoliday(TDateTime date)
{
    date = DateOf(date);
    return DayOfWeek(date) == 7 && IsPublicHoliday(date);
}
