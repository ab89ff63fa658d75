// Coordinate texts and whatever place they give, through the rise and set entry points.
//
// Input: the first byte picks what runs; the rest, up to a NUL, is a latitude text and after it a
// longitude text. Bytes that do not read as coordinates still become a place: their first 16 bytes
// are taken as two raw doubles, so NaNs, infinities and huge values reach the computations too.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "app/settings.h"
#include "astro/places.h"
#include "astro/rise_set.h"
#include "astro/sun_moon_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string_view latText = rest.substr(0, nul);
    const std::string_view lonText = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);

    double lat = ParseCoordinate(latText, DefaultSettings().Latitude);
    double lon = ParseCoordinate(lonText, DefaultSettings().Longitude);
    (void)FormatCoordinate(lat);
    if ((selector & 0x80) && rest.size() >= 16) {
        std::memcpy(&lat, rest.data(), sizeof lat);
        std::memcpy(&lon, rest.data() + 8, sizeof lon);
    }
    // A day of the years the program shows; the place is what varies.
    const TDateTime day = EncodeDate(1990, 1, 1) + static_cast<double>((selector & 0x3F) * 389);

    // The Sun costs far more than the Moon; the replay of 20,000 inputs stays short because most of
    // them try only the Moon.
    try {
        switch ((selector >> 6) & 1) {
        case 0: {
            const RiseAndSet t = RiseSetPair(RiseSetBody::Moon, -static_cast<Extended>(lon), lat, day);
            if (!std::isfinite(t.rise) || !std::isfinite(t.set))
                __builtin_trap();
            break;
        }
        default:
            if ((selector & 0x0F) == 0) {
                const SunMoonLine line = BuildSunMoonLine(day, lat, lon);
                if (line.sunText.size() != 9 && line.sunText.size() != 11)
                    __builtin_trap();
            } else {
                (void)MoonRise(-static_cast<Extended>(lon), lat, day);
            }
            break;
        }
    } catch (const E_NoRiseSet&) {
    }
    return 0;
}
