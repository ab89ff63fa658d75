// Prints every feast day of 1900-2200 as "yyyy-mm-dd<TAB>text", for the Python oracle test.
#include <iostream>

#include "calendar/date_format.h"
#include "calendar/feasts.h"

int main()
{
    for (int year = 1900; year <= 2200; ++year) {
        const TDateTime easter = EasterSunday(year);
        for (TDateTime day = EncodeDate(year, 1, 1); day <= EncodeDate(year, 12, 31); day += 1) {
            std::string text = FeastOn(day, easter).text;
            if (text.empty())
                continue;
            while (text.back() == '\n' || text.back() == '\r')
                text.pop_back();
            std::cout << FormatDateTime("yyyy-mm-dd", day) << '\t' << text << '\n';
        }
    }
    return 0;
}
