// Row types of the series tables generated from data/ at build time, and the tables themselves.
#pragma once

#include <cstddef>
#include <cstdint>

// One term of the VSOP87D Earth file, in the order of data/vsop87d_earth.tsv: the variable
// ('L', 'B' or 'R'), the power of tau, the term's number in its series, then A x 1e8, B, C.
struct VsopRow
{
    char variable;
    int power;
    int index;
    long double a, b, c;
};

// One row of the Moon's longitude and distance terms: multipliers of D, M, M', F; the longitude
// coefficient in 1e-6 degree and the distance coefficient in metres.
struct MoonTermLr
{
    int d, m, mp, f;
    std::int32_t l, r;
};

// One row of the Moon's latitude terms: multipliers of D, M, M', F; coefficient in 1e-6 degree.
struct MoonTermB
{
    int d, m, mp, f;
    std::int32_t b;
};

extern const VsopRow kVsopEarthTerms[];
extern const std::size_t kVsopEarthTermsCount;
extern const MoonTermLr kMoonTermsLr[];
extern const std::size_t kMoonTermsLrCount;
extern const MoonTermB kMoonTermsB[];
extern const std::size_t kMoonTermsBCount;
