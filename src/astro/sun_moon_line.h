// The day panel's sun and moon line: caption, times and the hint with the Moon's phase.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "astro/time_base.h"
#include "astro/vsop.h"
#include "calendar/datetime.h"

// Hours the day panel adds to Universal Time on the day `date` (its time of day is ignored): 2
// from the last Sunday of March up to and including the Saturday before the last Sunday of
// October, else 1. A fixed rule: the system's time-zone settings are never consulted.
int ZoneOffsetHours(TDateTime date);

struct SunMoonLine
{
    std::string caption;    // "W/Z: " + sunText
    std::string sunText;    // "hh:nn/hh:nn" rise/set in the zone above, or "----/----"
    std::string moonText;   // likewise for the Moon
    std::string phaseText;  // percentage + " % " + "(+)" waxing or "(-)" waning
    int percentage = 0;     // the lit share of the Moon at 18:00 UT, rounded half to even
    bool waxing = true;
    // "h:mm" from the unrounded sunrise to the unrounded sunset, rounded to the minute; empty
    // where the Sun does not both rise and set that day.
    std::string dayLengthText;
    // "Dzień trwa 7 h 56 min, o 2 min krócej niż wczoraj", or "Dzień polarny"/"Noc polarna".
    std::string dayLengthLine;
    // "341. dzień roku, zostało 24".
    std::string dayOfYearLine;
    // "Słońce W/Z: ...", "Księżyc W/Z: ...", "Księżyc faza: ...", then the day's length and its
    // place in the year; the hint is these joined by CR LF.
    std::vector<std::string> hintLines;

    std::string Hint() const;
};

// "percentage % sign" from the Moon's lit fraction (0..1) and age in days: the percentage rounded
// half to even, "(+)" for an age up to half the mean synodic month (waxing), "(-)" after it.
std::string FormatPhase(long double illumination, long double age);

// "Dzień trwa 7 h 56 min" from a day's length in whole minutes, with how it compares with the
// day before when that one had a sunrise and a sunset ("o 2 min krócej niż wczoraj", "o 3 min
// dłużej niż wczoraj", "tyle co wczoraj").
std::string DayLengthLine(int minutes, std::optional<int> yesterdayMinutes);
// "341. dzień roku, zostało 24" for a date of years 1..9999.
std::string DayOfYearLine(TDateTime date);

// The line for the day `date` (years 1..9999; its time of day is ignored) at `latitude` (north
// positive) and `longitude` (EAST positive), degrees. Any numbers are accepted for the place: one
// with no answer shows "----/----". One day of a SunMoonAlmanac made for it.
SunMoonLine BuildSunMoonLine(TDateTime date, double latitude, double longitude);

// The lines of many days at one place. Days taken one after another cost a fraction of separate
// calls: the positions of a whole day serve the three days whose
// rise and set need them, and the Earth is carried from day to day (EarthDayRun). Any order of days
// is answered correctly; only the saving needs consecutive ones.
class SunMoonAlmanac
{
public:
    SunMoonAlmanac(double latitude, double longitude);
    SunMoonLine Line(TDateTime date);
    double Latitude() const { return m_latitude; }
    double Longitude() const { return m_longitude; }

private:
    struct WholeDay
    {
        TDateTime day = 0;
        bool known = false;
        NutationResult nutation;
        Extended siderealTime = 0;
        TSkyPosition sun;
        TSkyPosition moon;  // geocentric
    };
    const WholeDay& At(TDateTime day);

    double m_latitude;
    double m_longitude;
    EarthDayRun m_earth;
    std::array<WholeDay, 4> m_days{};  // the last days computed, a ring
    std::size_t m_next = 0;
};
