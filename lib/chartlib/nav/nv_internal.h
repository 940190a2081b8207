// Constants and steps of the projection shared by the navigation mathematics.
#pragma once
#include "chartlib/nav/nv_navig.h"

namespace nv_detail {

constexpr DOUBLE kRadius = 6378388.0;
constexpr DOUBLE kMetersPerDegree = 111323.8715697006;
constexpr DOUBLE kDegreesPerMeter = 8.982799339438115e-06;
constexpr DOUBLE kInverseRadius = 1.5677942451917318e-07;
constexpr DOUBLE kFlattenForward = 0.9932811555305968;  // 1 - e^2: geodetic to geocentric tangent
constexpr DOUBLE kFlattenInverse = 1.0067642927;
constexpr DOUBLE kDegToRad = 0.017453292519944003;
constexpr DOUBLE kRadToDeg = 57.29577951308;
constexpr DOUBLE kHalfPi = 1.570796327;
constexpr DOUBLE kEps = 2.220446049250313e-16;

// |v| of a 32-bit coordinate without overflow at -2^31.
inline int64_t Abs64(SLONG v) { return v < 0 ? -static_cast<int64_t>(v) : v; }

// Latitude of a Mercator y already known to lie within the grid.
DOUBLE LatOfY(SLONG y);
// Longitude of a Mercator x within the grid, limited to -180..180.
DOUBLE LonOfX(SLONG x);

}  // namespace nv_detail
