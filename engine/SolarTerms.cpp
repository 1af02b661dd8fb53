#include "engine/SolarTerms.h"

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <span>

#include "engine/Symbols.h"

namespace rg_com_ptl_xyh {

namespace astro {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;
constexpr double kArcSecond = 1.0 / 3600.0;  // in degrees
constexpr double kJ2000 = 2451545.0;

struct Term {
  double a;
  double b;
  double c;
};

// VSOP87 Earth, truncated as in Meeus' appendix III; A in 1e-8, the
// argument B + C * tau in radians, tau in Julian millennia from J2000.
constexpr Term kL0[] = {{175347046, 0, 0},
                        {3341656, 4.6692568, 6283.0758500},
                        {34894, 4.62610, 12566.15170},
                        {3497, 2.7441, 5753.3849},
                        {3418, 2.8289, 3.5231},
                        {3136, 3.6277, 77713.7715},
                        {2676, 4.4181, 7860.4194},
                        {2343, 6.1352, 3930.2097},
                        {1324, 0.7425, 11506.7698},
                        {1273, 2.0371, 529.6910},
                        {1199, 1.1096, 1577.3435},
                        {990, 5.233, 5884.927},
                        {902, 2.045, 26.298},
                        {857, 3.508, 398.149},
                        {780, 1.179, 5223.694},
                        {753, 2.533, 5507.553},
                        {505, 4.583, 18849.228},
                        {492, 4.205, 775.523},
                        {357, 2.920, 0.067},
                        {317, 5.849, 11790.629},
                        {284, 1.899, 796.298},
                        {271, 0.315, 10977.079},
                        {243, 0.345, 5486.778},
                        {206, 4.806, 2544.314},
                        {205, 1.869, 5573.143},
                        {202, 2.458, 6069.777},
                        {156, 0.833, 213.299},
                        {132, 3.411, 2942.463},
                        {126, 1.083, 20.775},
                        {115, 0.645, 0.980},
                        {103, 0.636, 4694.003},
                        {102, 0.976, 15720.839},
                        {102, 4.267, 7.114},
                        {99, 6.21, 2146.17},
                        {98, 0.68, 155.42},
                        {86, 5.98, 161000.69},
                        {85, 1.30, 6275.96},
                        {85, 3.67, 71430.70},
                        {80, 1.81, 17260.15},
                        {79, 3.04, 12036.46},
                        {75, 1.76, 5088.63},
                        {74, 3.50, 3154.69},
                        {74, 4.68, 801.82},
                        {70, 0.83, 9437.76},
                        {62, 3.98, 8827.39},
                        {61, 1.82, 7084.90},
                        {57, 2.78, 6286.60},
                        {56, 4.39, 14143.50},
                        {56, 3.47, 6279.55},
                        {52, 0.19, 12139.55},
                        {52, 1.33, 1748.02},
                        {51, 0.28, 5856.48},
                        {49, 0.49, 1194.45},
                        {41, 5.37, 8429.24},
                        {41, 2.40, 19651.05},
                        {39, 6.17, 10447.39},
                        {37, 6.04, 10213.29},
                        {37, 2.57, 1059.38},
                        {36, 1.71, 2352.87},
                        {36, 1.78, 6812.77},
                        {33, 0.59, 17789.85},
                        {30, 0.44, 83996.85},
                        {30, 2.74, 1349.87},
                        {25, 3.16, 4690.48}};
constexpr Term kL1[] = {{628331966747, 0, 0},       {206059, 2.678235, 6283.075850},
                        {4303, 2.6351, 12566.1517}, {425, 1.590, 3.523},
                        {119, 5.796, 26.298},       {109, 2.966, 1577.344},
                        {93, 2.59, 18849.23},       {72, 1.14, 529.69},
                        {68, 1.87, 398.15},         {67, 4.41, 5507.55},
                        {59, 2.89, 5223.69},        {56, 2.17, 155.42},
                        {45, 0.40, 796.30},         {36, 0.47, 775.52},
                        {29, 2.65, 7.11},           {21, 5.34, 0.98},
                        {19, 1.85, 5486.78},        {19, 4.97, 213.30},
                        {17, 2.99, 6275.96},        {16, 0.03, 2544.31},
                        {16, 1.43, 2146.17},        {15, 1.21, 10977.08},
                        {12, 2.83, 1748.02},        {12, 3.26, 5088.63},
                        {12, 5.27, 1194.45},        {12, 2.08, 4694.00},
                        {11, 0.77, 553.57},         {10, 1.30, 6286.60},
                        {10, 4.24, 1349.87},        {9, 2.70, 242.73},
                        {9, 5.64, 951.72},          {8, 5.30, 2352.87},
                        {6, 2.65, 9437.76},         {6, 4.67, 4690.48}};
constexpr Term kL2[] = {
    {52919, 0, 0},     {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},
    {16, 5.19, 26.30}, {16, 3.68, 155.42},        {10, 0.76, 18849.23},    {9, 2.06, 77713.77},
    {7, 0.83, 775.52}, {5, 4.66, 1577.34},        {4, 1.03, 7.11},         {4, 3.44, 5573.14},
    {3, 5.14, 796.30}, {3, 6.05, 5507.55},        {3, 1.19, 242.73},       {3, 6.12, 529.69},
    {3, 0.31, 398.15}, {3, 2.28, 553.57},         {2, 4.38, 5223.69},      {2, 3.75, 0.98}};
constexpr Term kL3[] = {{289, 5.844, 6283.076}, {35, 0, 0},      {17, 5.49, 12566.15},
                        {3, 5.20, 155.42},      {1, 4.72, 3.52}, {1, 5.30, 18849.23},
                        {1, 5.97, 242.73}};
constexpr Term kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr Term kL5[] = {{1, 3.14, 0}};

constexpr Term kR0[] = {{100013989, 0, 0},
                        {1670700, 3.0984635, 6283.0758500},
                        {13956, 3.05525, 12566.15170},
                        {3084, 5.1985, 77713.7715},
                        {1628, 1.1739, 5753.3849},
                        {1576, 2.8469, 7860.4194},
                        {925, 5.453, 11506.770},
                        {542, 4.564, 3930.210},
                        {472, 3.661, 5884.927},
                        {346, 0.964, 5507.553},
                        {329, 5.900, 5223.694},
                        {307, 0.299, 5573.143},
                        {243, 4.273, 11790.629},
                        {212, 5.847, 1577.344},
                        {186, 5.022, 10977.079},
                        {175, 3.012, 18849.228},
                        {110, 5.055, 5486.778},
                        {98, 0.89, 6069.78},
                        {86, 5.69, 15720.84},
                        {86, 1.27, 161000.69},
                        {65, 0.27, 17260.15},
                        {63, 0.92, 529.69},
                        {57, 2.01, 83996.85},
                        {56, 5.24, 71430.70},
                        {49, 3.25, 2544.31},
                        {47, 2.58, 775.52},
                        {45, 5.54, 9437.76},
                        {43, 6.01, 6275.96},
                        {39, 5.36, 4694.00},
                        {38, 2.39, 8827.39},
                        {37, 0.83, 19651.05},
                        {37, 4.90, 12139.55},
                        {36, 1.67, 12036.46},
                        {35, 1.84, 2942.46},
                        {33, 0.24, 7084.90},
                        {32, 0.18, 5088.63},
                        {32, 1.78, 398.15},
                        {28, 1.21, 6286.60},
                        {28, 1.90, 6279.55},
                        {26, 4.59, 10447.39}};
constexpr Term kR1[] = {{103019, 1.107490, 6283.075850},
                        {1721, 1.0644, 12566.1517},
                        {702, 3.142, 0},
                        {32, 1.02, 18849.23},
                        {31, 2.84, 5507.55},
                        {25, 1.32, 5223.69},
                        {18, 1.42, 1577.34},
                        {10, 5.91, 10977.08},
                        {9, 1.42, 6275.96},
                        {9, 0.27, 5486.78}};
constexpr Term kR2[] = {{4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
                        {9, 3.63, 77713.77},       {6, 1.87, 5573.14},      {3, 5.47, 18849.23}};
constexpr Term kR3[] = {{145, 4.273, 6283.076}, {7, 3.92, 12566.15}};
constexpr Term kR4[] = {{4, 2.56, 6283.08}};

double Series(std::span<const Term> terms, double tau) {
  double sum = 0.0;
  for (const Term& t : terms) sum += t.a * std::cos(t.b + t.c * tau);
  return sum;
}

// A power series of series: S0 + S1 tau + S2 tau^2 + ...
template <size_t N>
double Powers(const std::array<std::span<const Term>, N>& series, double tau) {
  double sum = 0.0;
  for (size_t i = N; i-- > 0;) sum = sum * tau + Series(series[i], tau);
  return sum * 1e-8;
}

double Reduce(double degrees) {
  const double r = std::fmod(degrees, 360.0);
  return r < 0 ? r + 360.0 : r;
}

// The largest terms of the IAU 1980 nutation in longitude (Meeus table
// 22.A), in 0.0001"; arguments D, M, M', F, Omega.
struct NutationTerm {
  int d, m, mp, f, om;
  double s, st;
};
constexpr NutationTerm kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2}, {-2, 0, 0, 2, 2, -13187, -1.6}, {0, 0, 0, 2, 2, -2274, -0.2},
    {0, 0, 0, 0, 2, 2062, 0.2},       {0, 1, 0, 0, 0, 1426, -3.4},    {0, 0, 1, 0, 0, 712, 0.1},
    {-2, 1, 0, 2, 2, -517, 1.2},      {0, 0, 0, 2, 1, -386, -0.4},    {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -0.5},     {-2, 0, 1, 0, 0, -158, 0},      {-2, 0, 0, 2, 1, 129, 0.1},
    {0, 0, -1, 2, 2, 123, 0},         {2, 0, 0, 0, 0, 63, 0},         {0, 0, 1, 0, 1, 63, 0.1},
    {2, 0, -1, 2, 2, -59, 0},         {0, 0, -1, 0, 1, -58, -0.1},    {0, 0, 1, 2, 1, -51, 0}};

}  // namespace

double JulianDayOfUnixMs(std::int64_t unixMs) {
  return kJdUnixEpoch + static_cast<double>(unixMs) / 86'400'000.0;
}

std::int64_t UnixMsOfJulianDay(double jd) {
  return static_cast<std::int64_t>(std::llround((jd - kJdUnixEpoch) * 86'400'000.0));
}

double DeltaTSeconds(double y) {
  // Espenak and Meeus, Five Millennium Canon of Solar Eclipses (2006).
  if (y < 500) {
    const double u = y / 100;
    return 10583.6 +
           u * (-1014.41 +
                u * (33.78311 +
                     u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
  }
  if (y < 1600) {
    const double u = (y - 1000) / 100;
    return 1574.2 +
           u * (-556.01 +
                u * (71.23472 +
                     u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
  }
  if (y < 1700) {
    const double t = y - 1600;
    return 120 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129;
  }
  if (y < 1800) {
    const double t = y - 1700;
    return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000)));
  }
  if (y < 1860) {
    const double t = y - 1800;
    return 13.72 +
           t * (-0.332447 +
                t * (0.0068612 +
                     t * (0.0041116 +
                          t * (-0.00037436 +
                               t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
  }
  if (y < 1900) {
    const double t = y - 1860;
    return 7.62 +
           t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
  }
  if (y < 1920) {
    const double t = y - 1900;
    return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
  }
  if (y < 1941) {
    const double t = y - 1920;
    return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
  }
  if (y < 1961) {
    const double t = y - 1950;
    return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
  }
  if (y < 1986) {
    const double t = y - 1975;
    return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
  }
  if (y < 2005) {
    const double t = y - 2000;
    return 63.86 +
           t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
  }
  if (y < 2050) {
    const double t = y - 2000;
    return 62.92 + 0.32217 * t + 0.005589 * t * t;
  }
  const double u = (y - 1820) / 100;
  if (y < 2150) return -20 + 32 * u * u - 0.5628 * (2150 - y);
  return -20 + 32 * u * u;
}

EarthPosition EarthHeliocentric(double jde) {
  const double tau = (jde - kJ2000) / 365250.0;
  static constexpr std::array<std::span<const Term>, 6> kL{kL0, kL1, kL2, kL3, kL4, kL5};
  static constexpr std::array<std::span<const Term>, 5> kR{kR0, kR1, kR2, kR3, kR4};
  return {Powers(kL, tau), Powers(kR, tau)};
}

double NutationInLongitude(double jde) {
  const double t = (jde - kJ2000) / 36525.0;
  const double d = (297.85036 + t * (445267.111480 + t * (-0.0019142 + t / 189474))) * kDegree;
  const double m = (357.52772 + t * (35999.050340 + t * (-0.0001603 - t / 300000))) * kDegree;
  const double mp = (134.96298 + t * (477198.867398 + t * (0.0086972 + t / 56250))) * kDegree;
  const double f = (93.27191 + t * (483202.017538 + t * (-0.0036825 + t / 327270))) * kDegree;
  const double om = (125.04452 + t * (-1934.136261 + t * (0.0020708 + t / 450000))) * kDegree;
  double sum = 0.0;
  for (const NutationTerm& n : kNutation) {
    const double arg = n.d * d + n.m * m + n.mp * mp + n.f * f + n.om * om;
    sum += (n.s + n.st * t) * std::sin(arg);
  }
  return sum * 1e-4;
}

double ApparentSolarLongitude(double jde) {
  const EarthPosition earth = EarthHeliocentric(jde);
  // Geocentric: the opposite point of the Earth's heliocentric longitude.
  double theta = earth.longitude / kDegree + 180.0;
  // To the FK5 system; the latitude part of the correction is below 1e-5".
  theta += -0.09033 * kArcSecond;
  theta += NutationInLongitude(jde) * kArcSecond;
  theta += -20.4898 * kArcSecond / earth.radius;
  return Reduce(theta);
}

double ApproximateSolarLongitude(double jde) {
  const double t = (jde - kJ2000) / 36525.0;
  const double l0 = 280.46646 + t * (36000.76983 + t * 0.0003032);
  const double m = (357.52911 + t * (35999.05029 - t * 0.0001537)) * kDegree;
  const double c = (1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
                   (0.019993 - t * 0.000101) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
  const double omega = (125.04 - 1934.136 * t) * kDegree;
  return Reduce(l0 + c - 0.00569 - 0.00478 * std::sin(omega));
}

}  // namespace astro

namespace {

constexpr std::u16string_view kJieNames = u"小寒立春惊蛰清明立夏芒种小暑立秋白露寒露立冬大雪";
constexpr double kTropicalYearDays = 365.2422;

double JdeOfJd(double jd) {
  // The year is needed only to a month for Delta T.
  const double year = 2000.0 + (jd - 2451544.5) / kTropicalYearDays;
  return jd + astro::DeltaTSeconds(year) / 86400.0;
}

double Jde(std::int64_t unixMs) { return JdeOfJd(astro::JulianDayOfUnixMs(unixMs)); }

// Degrees past the 节 that opened the current solar month, 0..30, and
// which one it was (0 小寒 .. 11 大雪).
int JieIndexOfLongitude(double longitude) {
  const double past = std::fmod(longitude - 285.0 + 720.0, 360.0);
  return std::min(11, static_cast<int>(past / 30.0));
}

// Civil year and month (UT) of a Unix millisecond count.
void CivilYearMonth(std::int64_t unixMs, int& year, int& month) {
  std::int64_t days = unixMs / 86'400'000;
  if (unixMs % 86'400'000 < 0) --days;
  // Days to civil date, proleptic Gregorian (H. Hinnant's algorithm).
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

SolarTerm JieTerm(int index) {
  SolarTerm term;
  term.index = ((index % 12) + 12) % 12;
  term.name = std::u16string(kJieNames.substr(static_cast<size_t>(term.index) * 2, 2));
  term.longitude = (285 + 30 * term.index) % 360;
  term.monthBranch = (term.index + 1) % 12 + 1;
  return term;
}

namespace {

// The instants of the 节 that casts came near, so that the next cast around
// the same boundary decides by one comparison.
std::int64_t CachedJieInstant(int index, std::int64_t nearUnixMs) {
  static std::mutex mutex;
  static std::map<std::int64_t, std::int64_t> cache;
  int year = 0;
  int month = 0;
  CivilYearMonth(nearUnixMs, year, month);
  const std::int64_t key = static_cast<std::int64_t>(year) * 12 + index;
  {
    const std::lock_guard lock(mutex);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
  }
  const std::int64_t instant = TermInstantNear(JieTerm(index).longitude, nearUnixMs);
  const std::lock_guard lock(mutex);
  if (cache.size() >= 4096) cache.clear();
  cache.emplace(key, instant);
  return instant;
}

}  // namespace

SolarTerm JieAt(std::int64_t unixMs) {
  const double jde = Jde(unixMs);
  // The cheap sun decides unless a boundary is near; its error stays far
  // below the margin for a few centuries around now. Near a boundary the
  // full theory gives the 节's instant once.
  if (std::fabs(jde - 2451545.0) < 3 * 36525.0) {
    const double rough = astro::ApproximateSolarLongitude(jde);
    const double past = std::fmod(rough - 285.0 + 720.0, 30.0);
    if (past > 0.05 && past < 29.95) return JieTerm(JieIndexOfLongitude(rough));
    const int boundary = JieIndexOfLongitude(rough + 15.0);
    return JieTerm(unixMs >= CachedJieInstant(boundary, unixMs) ? boundary : boundary + 11);
  }
  return JieTerm(JieIndexOfLongitude(astro::ApparentSolarLongitude(jde)));
}

std::int64_t TermInstantNear(int longitude, std::int64_t nearUnixMs) {
  double jd = astro::JulianDayOfUnixMs(nearUnixMs);
  // The sun's mean motion as the slope: each step leaves a few per cent of
  // the error; 1e-7 degrees is a few milliseconds.
  for (int i = 0; i < 30; ++i) {
    const double diff =
        std::fmod(longitude - astro::ApparentSolarLongitude(JdeOfJd(jd)) + 540.0, 360.0) - 180.0;
    jd += diff * kTropicalYearDays / 360.0;
    if (std::fabs(diff) < 1e-7) break;
  }
  return astro::UnixMsOfJulianDay(jd);
}

std::int64_t JieInstant(int year, int index) {
  // Days from 1970-01-01 to 1 January of the year, proleptic Gregorian.
  const std::int64_t y = year - 1;
  const std::int64_t days =
      365 * (y - 1969) + (y / 4 - 1969 / 4) - (y / 100 - 1969 / 100) + (y / 400 - 1969 / 400);
  // Each 节 falls near day 5.5 + 30.44 k of its year.
  const double guess = static_cast<double>(days) + 5.5 + 30.44 * index;
  return TermInstantNear(JieTerm(index).longitude, static_cast<std::int64_t>(guess * 86'400'000.0));
}

MonthPillarNumbers MonthPillarAt(std::int64_t unixMs) {
  const SolarTerm jie = JieAt(unixMs);
  int year = 0;
  int month = 0;
  CivilYearMonth(unixMs, year, month);
  // Early in the civil year, the 子 and 丑 months still belong to the
  // previous year, which 立春 ends.
  if (month <= 6 && (jie.index == 0 || jie.index == 11)) --year;
  const int yearStem = static_cast<int>(((year - 4) % 10 + 10) % 10) + 1;
  // The 寅 month of a 甲 or 己 year is 丙寅, of 乙 or 庚 戊寅, and so on.
  const int firstStem = ((yearStem - 1) % 5) * 2 + 3;
  const int offset = (jie.monthBranch - 3 + 12) % 12;
  MonthPillarNumbers p;
  p.branch = jie.monthBranch;
  p.stem = (firstStem - 1 + offset) % 10 + 1;
  return p;
}

}  // namespace rg_com_ptl_xyh
