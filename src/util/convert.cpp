#include "util/convert.h"

#include <initializer_list>

namespace {

// v in a unit = v * fMultiplier + fOffset in the internal unit of its kind. Single precision on purpose: stored
// and displayed numbers elsewhere were made with these floats.
typedef struct {
  float fMultiplier;
  float fOffset;
} CONVERT_FACTOR;

CONVERT_FACTOR s_ConvertFactors[NUMBER_OF_UNIT_TYPES];
UNIT_TYPE s_InternalUnits[NUMBER_OF_DATA_TYPES];

// Values come from stored settings and peers: never index outside the tables.
bool ValidUnit(int unit) { return unit >= 0 && unit < NUMBER_OF_UNIT_TYPES; }

// The internal unit of a data type; -1 for a value outside the table.
int InternalUnit(DATA_TYPE dataType) {
  const int index = static_cast<int>(dataType);
  return index >= 0 && index < NUMBER_OF_DATA_TYPES ? static_cast<int>(s_InternalUnits[index]) : -1;
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
  for (UNIT_TYPE unit : {U_NONE, U_MPS, U_METRES, U_MILLIBAR, U_HECTOPASCALS, U_M3, U_VOLTS,
                   U_AMPERES, U_CELSIUS, U_DEG_TRUE, U_DEG_GEOMETRIC}) {
    s_ConvertFactors[unit] = {1.0f, 0.0f};
  }
  s_ConvertFactors[U_STAT_MILES] = {1609.3472f, 0.0f};
  s_ConvertFactors[U_NAUT_MILES] = {1852.0f, 0.0f};
  s_ConvertFactors[U_NAUT_MILES_FT] = {1852.0f, 0.0f};
  s_ConvertFactors[U_NAUT_MILES_M] = {1852.0f, 0.0f};
  s_ConvertFactors[U_KM] = {1000.0f, 0.0f};
  s_ConvertFactors[U_KNOTS] = {0.5144456f, 0.0f};
  s_ConvertFactors[U_MPH] = {0.44704f, 0.0f};
  s_ConvertFactors[U_KPH] = {0.2777778f, 0.0f};
  s_ConvertFactors[U_FEET] = {0.3048f, 0.0f};
  s_ConvertFactors[U_FATHOMS] = {1.8288037f, 0.0f};
  s_ConvertFactors[U_INCHESHG] = {33.8639f, 0.0f};
  s_ConvertFactors[U_MMHG] = {1.33322f, 0.0f};
  s_ConvertFactors[U_USGALLONS] = {0.0037854118f, 0.0f};
  s_ConvertFactors[U_UKGALLONS] = {0.004546092f, 0.0f};
  s_ConvertFactors[U_LITRES] = {0.001f, 0.0f};
  s_ConvertFactors[U_MILLIAMPERES] = {0.001f, 0.0f};
  s_ConvertFactors[U_FAHRENHEIT] = {0.5555556f, -17.777779f};
  s_ConvertFactors[U_PSI] = {68.94757f, 0.0f};
  s_ConvertFactors[U_KPA] = {10.0f, 0.0f};

  for (auto &unit : s_InternalUnits) unit = U_NONE;
  s_InternalUnits[D_TEMPERATURE] = U_CELSIUS;
  s_InternalUnits[D_SPEED] = U_MPS;
  s_InternalUnits[D_DISTANCE] = U_METRES;
  s_InternalUnits[D_DEPTH] = U_METRES;
  s_InternalUnits[D_ALTITUDE] = U_METRES;
  s_InternalUnits[D_HEADING] = U_DEG_TRUE;
  s_InternalUnits[D_PRESSURE] = U_HECTOPASCALS;
  s_InternalUnits[D_VOLUME] = U_M3;
  s_InternalUnits[D_VOLTAGE] = U_VOLTS;
  s_InternalUnits[D_CURRENT] = U_AMPERES;
  s_InternalUnits[D_ELEVATION_ANGLE] = U_DEG_GEOMETRIC;
}

double dConvertToInternal(double dValue, DATA_TYPE DataType, UNIT_TYPE FromUnits) {
  const int internal = InternalUnit(DataType);
  if (internal < 0 || FromUnits == internal) return dValue;
  return Convert(dValue, FromUnits, internal);
}

double dConvertFromInternal(double dValue, DATA_TYPE DataType, UNIT_TYPE ToUnits) {
  const int internal = InternalUnit(DataType);
  if (internal < 0 || ToUnits == internal) return dValue;
  return Convert(dValue, internal, ToUnits);
}

double dGenericConvert(double dValue, UNIT_TYPE From, UNIT_TYPE To) { return Convert(dValue, From, To); }
