// Readout texts: values and units by data type, distances, depths, times and dates.
#include <cstring>
#include <string>

#include "draw/fonts.h"
#include "draw/string.h"
#include "readout_test_env.h"
#include "ui/info/format.h"

namespace {

class FormatTest : public ReadoutTest {
 protected:
  // The value text and the units of item 'TEST' (units "" when none).
  std::pair<std::string, std::string> strings(DIGITS_FORMAT eFormat = DONT_FORCE) {
    char acValue[INFO_VALUE_TEXT_LENGTH + 1] = "";
    const char *pcUnits = nullptr;
    BOOLEAN bValid = FALSE;
    T_INFO_nInfoStrings(acValue, &pcUnits, &bValid, 200, FCID("TEST"), std_16x17_font_def_ptr, std_11x14_font_def_ptr,
                        std_16x17_font_def_ptr, eFormat, 0, 17, nullptr, nullptr);
    return {acValue, pcUnits != nullptr ? pcUnits : ""};
  }
};

struct ValueCase {
  const char *pcName;
  DATA_TYPE eType;
  double dValue;          // internal units; integral types take it as a signed number
  const char *pcUnitKey;  // the units setting of the type, or ""
  UNIT_TYPE eUnits;
  DIGITS_FORMAT eFormat;
  const char *pcValue;
  const char *pcUnits;
};

const ValueCase kValueCases[] = {
    {"heading 359.7", D_HEADING, 359.7, "SUHD", U_DEG_TRUE, DONT_FORCE, "000", "\xBAt"},
    {"heading 7.4", D_HEADING, 7.4, "SUHD", U_DEG_TRUE, DONT_FORCE, "007", "\xBAt"},
    {"magnetic without variation", D_HEADING, 7.4, "SUHD", U_DEG_MAGNETIC, DONT_FORCE, "---", ""},
    {"time 3599 s", D_TIME, 3599, "", U_NONE, DONT_FORCE, "59:59", ""},
    {"time 3600 s", D_TIME, 3600, "", U_NONE, DONT_FORCE, "1:00", ""},
    {"time -1", D_TIME, -1, "", U_NONE, DONT_FORCE, "---", ""},
    {"long time", D_LONG_TIME, 3661, "", U_NONE, DONT_FORCE, "01:01:01", ""},
    {"0.05 nm as feet", D_DISTANCE, 0.05 * 1852, "SUDS", U_NAUT_MILES_FT, DONT_FORCE, "304", "ft"},
    {"0.05 nm as metres", D_DISTANCE, 0.05 * 1852, "SUDS", U_NAUT_MILES_M, DONT_FORCE, "93", "m"},
    {"0.5 km as metres", D_DISTANCE, 500, "SUDS", U_KM, DONT_FORCE, "500.00", "m"},
    {"0.05 miles as feet", D_DISTANCE, 0.05 * 1609.3472, "SUDS", U_STAT_MILES, DONT_FORCE, "264", "ft"},
    {"-0.5 nm", D_DISTANCE, -0.5 * 1852, "SUDS", U_NAUT_MILES, DONT_FORCE, "0.50", ""},
    {"15 nm", D_DISTANCE, 15 * 1852, "SUDS", U_NAUT_MILES, DONT_FORCE, "15.0", ""},
    {"150 km", D_DISTANCE, 150000, "SUDS", U_KM, DONT_FORCE, "150", "km"},
    {"depth 12.34 m", D_DEPTH, 12.34, "YUDP", U_METRES, DONT_FORCE, "12.3", "m"},
    {"depth 150.2 m", D_DEPTH, 150.2, "YUDP", U_METRES, DONT_FORCE, "150", "m"},
    {"depth 12.34 m no tenths", D_DEPTH, 12.34, "YUDP", U_METRES, NO_TENTHS, "12", "m"},
    {"depth 150.2 m no tenths", D_DEPTH, 150.2, "YUDP", U_METRES, NO_TENTHS, "150", "m"},
    {"speed 5.2 kn", D_SPEED, 5.2 * 0.5144456, "SUSP", U_KNOTS, DONT_FORCE, "5.2", "kts"},
    {"speed 12.4 kn", D_SPEED, 12.4 * 0.5144456, "SUSP", U_KNOTS, DONT_FORCE, "12", "kts"},
    {"speed 12.4 mph", D_SPEED, 12.4 * 0.44704, "SUSP", U_MPH, DONT_FORCE, "12.4", "mph"},
    {"speed 5.2 kn no tenths", D_SPEED, 5.2 * 0.5144456, "SUSP", U_KNOTS, NO_TENTHS, "5", "kts"},
    {"temperature", D_TEMPERATURE, 18.44, "SUTE", U_CELSIUS, DONT_FORCE, "18.4", "\xBA" "C"},
    {"pressure in inches", D_PRESSURE, 1013.25, "SUPR", U_INCHESHG, DONT_FORCE, "29.9", "In.Hg"},
    {"pressure in millibar", D_PRESSURE, 1013.25, "SUPR", U_MILLIBAR, DONT_FORCE, "1013", "mb"},
    {"voltage", D_VOLTAGE, 12.56, "", U_NONE, DONT_FORCE, "12.6", "V"},
    {"float", D_FLOAT, 3.14159, "", U_NONE, DONT_FORCE, "3.14", ""},
    {"signed", D_SIGNED32, -42, "", U_NONE, DONT_FORCE, "-42", ""},
    {"fixed point", D_FIXED_POINT, 98304, "", U_NONE, DONT_FORCE, "1.50", ""},
    {"elevation", D_ELEVATION_ANGLE, 35, "", U_NONE, DONT_FORCE, "35", "\xBA"},
    {"unknown", D_UNKNOWN, 4000000000.0, "", U_NONE, DONT_FORCE, "4000000000", ""},
    {"other type", D_PERCENT, 255, "", U_NONE, DONT_FORCE, "000000ff", ""},
};

TEST_F(FormatTest, ValuesAndUnitsByDataType) {
  for (const ValueCase &c : kValueCases) {
    H_DATABASE_vInit();
    if (c.pcUnitKey[0] != '\0') {
      H_DATABASE_bUpdateEverythingU32(
          static_cast<FOURCHARID>(c.pcUnitKey[0] | c.pcUnitKey[1] << 8 | c.pcUnitKey[2] << 16 | c.pcUnitKey[3] << 24),
          c.eUnits, P_NORMAL, D_UNITS, nullptr, DB_NO_TIMEOUT);
    }
    if (H_DATABASE_DataType(c.eType == D_FIXED_POINT || c.eType == D_PERCENT ? D_SIGNED32 : c.eType) == DF_FLOAT) {
      setFloat("TEST", static_cast<float>(c.dValue), c.eType);
    } else if (c.dValue > 2147483647.0) {
      setU32("TEST", static_cast<U32>(c.dValue), c.eType);
    } else {
      setS32("TEST", static_cast<S32>(c.dValue), c.eType);
    }
    const auto [sValue, sUnits] = strings(c.eFormat);
    EXPECT_EQ(sValue, c.pcValue) << c.pcName;
    EXPECT_EQ(sUnits, c.pcUnits) << c.pcName;
  }
}

TEST_F(FormatTest, MagneticHeadingUsesTheVariation) {
  setU32("SUHD", U_DEG_MAGNETIC, D_UNITS);
  setFloat("IMGV", 10.0f, D_FLOAT);
  setFloat("TEST", 7.4f, D_HEADING);
  EXPECT_EQ(strings().first, "357");
}

TEST_F(FormatTest, PositionFollowsTheFormatSettingOrShowsDashes) {
  setFloat("TEST", -33.5f, D_POSITION_LAT);
  EXPECT_EQ(strings().first, "---");
  setU32("SIPF", F_DD_MM_MMM);
  EXPECT_EQ(strings().first, "S 33\xBA" "30.000'");
}

TEST_F(FormatTest, MissingItemReturnsZeroAndLeavesTextsAlone) {
  char acValue[INFO_VALUE_TEXT_LENGTH + 1] = "keep";
  const char *pcUnits = "units";
  BOOLEAN bValid = TRUE;
  S32 nValueWidth = -5;
  EXPECT_EQ(T_INFO_nInfoStrings(acValue, &pcUnits, &bValid, 0, FCID("NONE"), std_16x17_font_def_ptr,
                                std_16x17_font_def_ptr, std_16x17_font_def_ptr, DONT_FORCE, 0, 17, &nValueWidth,
                                nullptr),
            0);
  EXPECT_STREQ(acValue, "keep");
  EXPECT_STREQ(pcUnits, "units");
  EXPECT_TRUE(bValid);
  EXPECT_EQ(nValueWidth, -5);
}

TEST_F(FormatTest, WaypointNameIsCutToTheWidth) {
  NAV_STANDIN_vSetWaypoint(2, "HARBOUR", 0);
  setU32("TEST", 2, D_WAYPOINT);
  const U32 u32Three = G_FONTS_u32GetWidth(std_16x17_font_def_ptr, 'H') + G_FONTS_u32GetWidth(std_16x17_font_def_ptr, 'A') +
                       G_FONTS_u32GetWidth(std_16x17_font_def_ptr, 'R');
  char acValue[INFO_VALUE_TEXT_LENGTH + 1] = "";
  T_INFO_nInfoStrings(acValue, nullptr, nullptr, static_cast<S32>(u32Three), FCID("TEST"), std_16x17_font_def_ptr,
                      std_16x17_font_def_ptr, std_16x17_font_def_ptr, DONT_FORCE, 0, 12, nullptr, nullptr);
  EXPECT_STREQ(acValue, "HAR");
  T_INFO_nInfoStrings(acValue, nullptr, nullptr, -1, FCID("TEST"), std_16x17_font_def_ptr, std_16x17_font_def_ptr,
                      std_16x17_font_def_ptr, DONT_FORCE, 0, 5, nullptr, nullptr);
  EXPECT_STREQ(acValue, "HARB");
}

TEST_F(FormatTest, SmallTenthsWidthCountsTheDigitsAfterThePointInTheTenthsFont) {
  setU32("YUDP", U_METRES, D_UNITS);
  setFloat("TEST", 12.34f, D_DEPTH);
  char acValue[INFO_VALUE_TEXT_LENGTH + 1] = "";
  S32 nValue = 0, nUnits = 0;
  const S32 nTotal = T_INFO_nInfoStrings(acValue, nullptr, nullptr, 0, FCID("TEST"), f34x62_font_def_ptr,
                                         std_16x17_font_def_ptr, f18x32_font_def_ptr, SMALL_TENTHS, 0, 17, &nValue,
                                         &nUnits);
  EXPECT_EQ(nValue, static_cast<S32>(G_STRING_u32GetWidth(f34x62_font_def_ptr, "12.") +
                                     G_STRING_u32GetWidth(f18x32_font_def_ptr, "3")));
  EXPECT_EQ(nUnits, static_cast<S32>(G_STRING_u32GetWidth(std_16x17_font_def_ptr, "m")));
  EXPECT_EQ(nTotal, nValue + nUnits);
  T_INFO_nInfoStrings(acValue, nullptr, nullptr, 0, FCID("TEST"), f34x62_font_def_ptr, std_16x17_font_def_ptr,
                      f18x32_font_def_ptr, LARGE_TENTHS, 0, 17, &nValue, nullptr);
  EXPECT_EQ(nValue, static_cast<S32>(G_STRING_u32GetWidth(f34x62_font_def_ptr, "12.3")));
}

TEST_F(FormatTest, GetDataCopiesUnitsOrTwoBlanks) {
  setU32("YUDP", U_FEET, D_UNITS);
  setFloat("IDEP", 3.048f, D_DEPTH);
  setS32("ISEC", 75, D_TIME);
  char acValue[INFO_VALUE_TEXT_LENGTH + 1] = "", acUnits[21] = "";
  BOOLEAN bValid = FALSE;
  T_INFO_vGetData(FCID("IDEP"), &bValid, acValue, acUnits, std_16x17_font_def_ptr, std_16x17_font_def_ptr, 0);
  EXPECT_STREQ(acValue, "10.0");
  EXPECT_STREQ(acUnits, "ft");
  EXPECT_TRUE(bValid);
  T_INFO_vGetData(FCID("ISEC"), &bValid, acValue, acUnits, std_16x17_font_def_ptr, std_16x17_font_def_ptr, 0);
  EXPECT_STREQ(acValue, "1:15");
  EXPECT_STREQ(acUnits, "  ");
}

struct TimeCase {
  const char *pcName;
  S32 s32Zone;  // minutes; INT32_MIN: 'SLTZ' missing
  S32 s32Dst;   // INT32_MIN: 'SDST' missing
  S32 s32TimeFormat;  // INT32_MIN: 'SITF' missing
  S32 s32DateFormat;  // INT32_MIN: 'SIDF' missing
  BOOLEAN bSeconds, bAmPm;
  const char *pcTime, *pcDate;
};

constexpr S32 kMissing = INT32_MIN;
// 2024-03-09 13:05:07 UTC.
constexpr time_t kAfternoon = 1709989507;
// 2024-03-09 00:10:00 UTC.
constexpr time_t kJustAfterMidnight = 1709943000;

const TimeCase kTimeCases[] = {
    {"12-hour with AM/PM", kMissing, kMissing, 0, 0, FALSE, TRUE, "1:05 PM", "03/09/24"},
    {"12-hour with seconds, no AM/PM", kMissing, kMissing, 1, 1, TRUE, FALSE, "1:05:07", "09.03.24"},
    {"24-hour", kMissing, kMissing, 4, 2, TRUE, FALSE, "13:05:07", "24.03.09"},
    {"24-hour without seconds", kMissing, kMissing, 4, 2, FALSE, TRUE, "13:05", "24.03.09"},
    {"zone and daylight saving", 60, 1, 4, 1, FALSE, FALSE, "15:05", "09.03.24"},
    {"zone without daylight saving", -120, 0, 4, 1, FALSE, FALSE, "11:05", "09.03.24"},
    {"zone into the next day", 660, 0, 4, 1, FALSE, FALSE, "00:05", "10.03.24"},
    {"zone without the daylight setting", 60, kMissing, 4, 1, FALSE, FALSE, "13:05", "09.03.24"},
    {"formats missing", kMissing, kMissing, kMissing, kMissing, FALSE, FALSE, "---", "---"},
};

TEST_F(FormatTest, TimeAndDateOnTheUtcClock) {
  for (const TimeCase &c : kTimeCases) {
    H_DATABASE_vInit();
    if (c.s32Zone != kMissing) setS32("SLTZ", c.s32Zone);
    if (c.s32Dst != kMissing) setS32("SDST", c.s32Dst, D_UNKNOWN);
    if (c.s32TimeFormat != kMissing) setS32("SITF", c.s32TimeFormat, D_UNKNOWN);
    if (c.s32DateFormat != kMissing) setS32("SIDF", c.s32DateFormat, D_UNKNOWN);
    char acTime[INFO_TIME_TEXT_SIZE] = "x", acDate[INFO_TIME_TEXT_SIZE] = "x";
    T_INFO_vFormatTime(kAfternoon, c.bSeconds, c.bAmPm, acTime, acDate, nullptr);
    EXPECT_STREQ(acTime, c.pcTime) << c.pcName;
    EXPECT_STREQ(acDate, c.pcDate) << c.pcName;
  }
}

TEST_F(FormatTest, MidnightHourIsTwelveAndZeroTimeIsEmpty) {
  setS32("SITF", 0, D_UNKNOWN);
  char acTime[INFO_TIME_TEXT_SIZE] = "", acDate[INFO_TIME_TEXT_SIZE] = "x";
  BOOLEAN bBlink = FALSE;
  INFO_vSetBlinkState(TRUE);
  T_INFO_vFormatTimeAscii(kJustAfterMidnight, FALSE, TRUE, acTime, nullptr, &bBlink, FALSE);
  EXPECT_STREQ(acTime, "12:10 AM");
  EXPECT_TRUE(bBlink);
  T_INFO_vFormatTime(0, FALSE, TRUE, acTime, acDate, nullptr);
  EXPECT_STREQ(acTime, "");
  EXPECT_STREQ(acDate, "");
}

TEST_F(FormatTest, DateTimeItemShowsTheTimeOfDayOnly) {
  setS32("SITF", 4, D_UNKNOWN);
  setU32("TEST", static_cast<U32>(kAfternoon), D_DATETIME);
  EXPECT_EQ(strings(), (std::pair<std::string, std::string>{"13:05", ""}));
}

TEST_F(FormatTest, SplitTenths) {
  char acInteger[16] = "";
  const char *pcTenths = nullptr;
  const char acSource[] = "12.3";
  EXPECT_TRUE(T_INFO_pSplitTenths(acSource, acInteger, &pcTenths, TRUE));
  EXPECT_STREQ(acInteger, "12.");
  EXPECT_EQ(pcTenths, acSource + 3);
  EXPECT_TRUE(T_INFO_pSplitTenths(acSource, acInteger, &pcTenths, FALSE));
  EXPECT_STREQ(acInteger, "12");
  EXPECT_FALSE(T_INFO_pSplitTenths("150", acInteger, &pcTenths, TRUE));
  EXPECT_EQ(pcTenths, nullptr);
  EXPECT_FALSE(T_INFO_pSplitTenths(acSource, nullptr, &pcTenths, TRUE));
}

}  // namespace
