// What the journal crash test's child saves, shared by the child and the test.
#pragma once

#include <string>

#include "calendar/date_format.h"

inline constexpr int kMaxSavesPerRun = 4000;
inline constexpr int kPackEvery = 3;

// Each run writes its own dates, so a confirmed record can never be hidden by a later one.
inline TDateTime DateOfSave(int run, int save)
{
    return EncodeDate(2000, 1, 1) + run * kMaxSavesPerRun + save;
}

inline std::string TextOfSave(int run, int save)
{
    return "zapis " + std::to_string(run) + "/" + std::to_string(save) + "\r\nżółw";
}
