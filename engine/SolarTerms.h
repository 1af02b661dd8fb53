#pragma once
// Where the sun stands, for the solar months of the chart. The apparent
// geocentric longitude follows Meeus, Astronomical Algorithms (2nd ed.):
// the truncated VSOP87 Earth series (ch. 32 and appendix III), the FK5
// correction, nutation in longitude and aberration (ch. 25), with Delta T
// from the Espenak-Meeus polynomials. Good to about a second of arc, which
// puts a solar term within well under a minute for 1900-2100.
#include <cstdint>
#include <string>

namespace rg_com_ptl_xyh {

namespace astro {

constexpr double kJdUnixEpoch = 2440587.5;

// Julian day (UT) of a Unix millisecond count and back.
double JulianDayOfUnixMs(std::int64_t unixMs);
std::int64_t UnixMsOfJulianDay(double jd);

// TT - UT in seconds for a decimal year.
double DeltaTSeconds(double year);

// Heliocentric longitude (radians, not reduced) and radius vector (AU) of
// the Earth, referred to the ecliptic and equinox of date.
struct EarthPosition {
  double longitude;
  double radius;
};
EarthPosition EarthHeliocentric(double jde);
// Nutation in longitude, arc seconds.
double NutationInLongitude(double jde);
// Apparent geocentric longitude of the sun in degrees, 0 <= value < 360.
double ApparentSolarLongitude(double jde);
// Meeus' low-accuracy sun (ch. 25): within 0.01 degrees near our era.
double ApproximateSolarLongitude(double jde);

}  // namespace astro

// The twelve 节 that open the solar months, from 小寒 (285 degrees, opens
// the 丑 month) to 大雪 (255 degrees, opens 子) in calendar order.
struct SolarTerm {
  int index = 0;  // 0 小寒 .. 11 大雪
  std::u16string name;
  int longitude = 0;    // degrees the sun reaches
  int monthBranch = 0;  // branch number the month takes
};
SolarTerm JieTerm(int index);

// The 节 whose month holds the instant: the last one the sun has passed.
SolarTerm JieAt(std::int64_t unixMs);
// The instant (Unix ms, UT) the sun reaches the term's longitude nearest to
// the given instant (within half a year of it).
std::int64_t TermInstantNear(int longitude, std::int64_t nearUnixMs);
// The instant of the 节 of the given Gregorian year (index 0 小寒 .. 11
// 大雪), each of which falls inside that year.
std::int64_t JieInstant(int year, int index);

// Stem and branch numbers of the solar month holding the instant: branch
// from the last 节, stem from the year stem at 立春.
struct MonthPillarNumbers {
  int stem = 0;
  int branch = 0;
};
MonthPillarNumbers MonthPillarAt(std::int64_t unixMs);

}  // namespace rg_com_ptl_xyh
