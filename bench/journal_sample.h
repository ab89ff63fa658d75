// The journal the notes benchmarks open: 1,000,000 records on thirty years of dates and every
// yearly key, each saved many times over; every tenth save deletes, as a journal left unpacked for
// years would hold. About 70 MB of Windows-1250 text.
#pragma once

#include <random>
#include <string>

#include "calendar/date_format.h"

constexpr int kSampleRecords = 1'000'000;

inline std::string BuildSampleJournal(int records = kSampleRecords)
{
    std::mt19937 rng(42);
    const TDateTime first = EncodeDate(1995, 1, 1);
    const int days = 30 * 365;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(records) * 72);
    for (int i = 0; i < records; ++i) {
        const bool yearly = rng() % 20 == 0;
        const TDateTime date = first + static_cast<int>(rng() % days);
        const DateParts d = DecodeDate(date);
        bytes += yearly ? YearlyKey(d.month, d.day) : DateKey(date);
        bytes += "\r\n";
        bytes += FormatDateTime("yyyy.mm.dd  hh:nn", date + 0.5);
        bytes += "\r\n";
        if (i % 10 != 9) {
            bytes += "Spotkanie nr ";
            bytes += std::to_string(i);
            bytes += "\r\nzab\xb3\xe6 klucze\r\n";
        }
        bytes += "****\r\n";
    }
    return bytes;
}
