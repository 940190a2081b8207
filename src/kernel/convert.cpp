#include "kernel/convert.h"

#include <initializer_list>

namespace {

// v in a unit = v * fMultiplier + fOffset in the internal unit of its kind. Single precision on purpose: stored
// and displayed numbers elsewhere were made with these floats.
typedef struct {
  float fMultiplier;
  float fOffset;
} CONVERT_FACTOR;

// UNIT_TYPE values.
enum : int {
  kUnitNone = 0, kUnitMps = 1, kUnitStatMiles = 2, kUnitNautMiles = 3, kUnitKm = 4, kUnitKnots = 5, kUnitMph = 6,
  kUnitKph = 7, kUnitMetres = 10, kUnitFeet = 11, kUnitFathoms = 12, kUnitInchesHg = 15, kUnitMmHg = 16,
  kUnitMillibar = 17, kUnitHectopascals = 18, kUnitUsGallons = 19, kUnitUkGallons = 20, kUnitLitres = 21,
  kUnitM3 = 22, kUnitVolts = 25, kUnitAmperes = 26, kUnitMilliamperes = 27, kUnitCelsius = 28,
  kUnitFahrenheit = 29, kUnitDegTrue = 30, kUnitNautMilesFt = 32, kUnitNautMilesM = 33, kUnitDegGeometric = 34,
  kUnitPsi = 35, kUnitKpa = 36, kUnitCount = 37
};

// DATA_TYPE values.
enum : int {
  kDataTemperature = 3, kDataSpeed = 4, kDataDistance = 5, kDataHeading = 6, kDataDepth = 7, kDataPressure = 11,
  kDataVolume = 12, kDataVoltage = 15, kDataCurrent = 16, kDataAltitude = 27, kDataElevationAngle = 32,
  kDataTypeCount = 34
};

CONVERT_FACTOR s_ConvertFactors[kUnitCount];
int s_InternalUnits[kDataTypeCount];

bool ValidUnit(int unit) { return unit >= 0 && unit < kUnitCount; }

// The internal unit of a data type; -1 for a value outside the table.
int InternalUnit(int dataType) {
  return dataType >= 0 && dataType < kDataTypeCount ? s_InternalUnits[dataType] : -1;
}

// (offset[from] - offset[to] + v * multiplier[from]) / multiplier[to], in double on the float factors.
double Convert(double dValue, int from, int to) {
  if (!ValidUnit(from) || !ValidUnit(to) || s_ConvertFactors[to].fMultiplier == 0.0f) return dValue;
  const CONVERT_FACTOR &f = s_ConvertFactors[from];
  const CONVERT_FACTOR &t = s_ConvertFactors[to];
  return (static_cast<double>(f.fOffset) - static_cast<double>(t.fOffset) +
          dValue * static_cast<double>(f.fMultiplier)) /
         static_cast<double>(t.fMultiplier);
}

}  // namespace

void U_CONVERT_vInitialiseConversionUtility(void) {
  for (auto &factor : s_ConvertFactors) factor = {0.0f, 0.0f};
  for (int unit : {kUnitNone, kUnitMps, kUnitMetres, kUnitMillibar, kUnitHectopascals, kUnitM3, kUnitVolts,
                   kUnitAmperes, kUnitCelsius, kUnitDegTrue, kUnitDegGeometric}) {
    s_ConvertFactors[unit] = {1.0f, 0.0f};
  }
  s_ConvertFactors[kUnitStatMiles] = {1609.3472f, 0.0f};
  s_ConvertFactors[kUnitNautMiles] = {1852.0f, 0.0f};
  s_ConvertFactors[kUnitNautMilesFt] = {1852.0f, 0.0f};
  s_ConvertFactors[kUnitNautMilesM] = {1852.0f, 0.0f};
  s_ConvertFactors[kUnitKm] = {1000.0f, 0.0f};
  s_ConvertFactors[kUnitKnots] = {0.5144456f, 0.0f};
  s_ConvertFactors[kUnitMph] = {0.44704f, 0.0f};
  s_ConvertFactors[kUnitKph] = {0.2777778f, 0.0f};
  s_ConvertFactors[kUnitFeet] = {0.3048f, 0.0f};
  s_ConvertFactors[kUnitFathoms] = {1.8288037f, 0.0f};
  s_ConvertFactors[kUnitInchesHg] = {33.8639f, 0.0f};
  s_ConvertFactors[kUnitMmHg] = {1.33322f, 0.0f};
  s_ConvertFactors[kUnitUsGallons] = {0.0037854118f, 0.0f};
  s_ConvertFactors[kUnitUkGallons] = {0.004546092f, 0.0f};
  s_ConvertFactors[kUnitLitres] = {0.001f, 0.0f};
  s_ConvertFactors[kUnitMilliamperes] = {0.001f, 0.0f};
  s_ConvertFactors[kUnitFahrenheit] = {0.5555556f, -17.777779f};
  s_ConvertFactors[kUnitPsi] = {68.94757f, 0.0f};
  s_ConvertFactors[kUnitKpa] = {10.0f, 0.0f};

  for (auto &unit : s_InternalUnits) unit = kUnitNone;
  s_InternalUnits[kDataTemperature] = kUnitCelsius;
  s_InternalUnits[kDataSpeed] = kUnitMps;
  s_InternalUnits[kDataDistance] = kUnitMetres;
  s_InternalUnits[kDataDepth] = kUnitMetres;
  s_InternalUnits[kDataAltitude] = kUnitMetres;
  s_InternalUnits[kDataHeading] = kUnitDegTrue;
  s_InternalUnits[kDataPressure] = kUnitHectopascals;
  s_InternalUnits[kDataVolume] = kUnitM3;
  s_InternalUnits[kDataVoltage] = kUnitVolts;
  s_InternalUnits[kDataCurrent] = kUnitAmperes;
  s_InternalUnits[kDataElevationAngle] = kUnitDegGeometric;
}

double dConvertToInternal(double dValue, int DataType, int FromUnits) {
  const int internal = InternalUnit(DataType);
  if (internal < 0 || FromUnits == internal) return dValue;
  return Convert(dValue, FromUnits, internal);
}

double dConvertFromInternal(double dValue, int DataType, int ToUnits) {
  const int internal = InternalUnit(DataType);
  if (internal < 0 || ToUnits == internal) return dValue;
  return Convert(dValue, internal, ToUnits);
}

double dGenericConvert(double dValue, int From, int To) { return Convert(dValue, From, To); }
