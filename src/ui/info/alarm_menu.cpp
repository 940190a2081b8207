// The alarm task's settings: the NMEA 2000 data alarm groups of the "Alarms" tab, offered only while such data
// has been seen or in the simulation and demonstration states, and the factory defaults.
#include "settings/database.h"
#include "ui/info/alarm_task.h"
#include "ui/menu/menu.h"

namespace {

const ARRAY_OF_STRING_PTRS NMEA2K_Engine = SAME22("NMEA2K Engine");
const ARRAY_OF_STRING_PTRS NMEA2K_Environment = SAME22("NMEA2K Environment");
const ARRAY_OF_STRING_PTRS NMEA2K_Depth = SAME22("NMEA2K Depth");
const ARRAY_OF_STRING_PTRS NMEA2K_Shallow_Water_Alarm = SAME22("NMEA2K Shallow Water Alarm");
const ARRAY_OF_STRING_PTRS NMEA2K_Deep_Water_Alarm = SAME22("NMEA2K Deep Water Alarm");
const ARRAY_OF_STRING_PTRS NMEA2K_Temperature_Alarm_Air = SAME22("NMEA2K Temperature Alarm (Air)");
const ARRAY_OF_STRING_PTRS NMEA2K_Temperature_Alarm_Water = SAME22("NMEA2K Temperature Alarm (Water)");
const ARRAY_OF_STRING_PTRS Total_Fuel_Alarm = SAME22("Total Fuel Alarm");
const ARRAY_OF_STRING_PTRS Check_Engine_Alarm = SAME22("Check Engine Alarm");
const ARRAY_OF_STRING_PTRS Engine_Over_Temperature_Alarm = SAME22("Engine Over Temperature Alarm");
const ARRAY_OF_STRING_PTRS Engine_Low_Oil_Pressure_Alarm = SAME22("Engine Low Oil Pressure Alarm");
const ARRAY_OF_STRING_PTRS Engine_Low_Oil_Level_Alarm = SAME22("Engine Low Oil Level Alarm");
const ARRAY_OF_STRING_PTRS Engine_Low_Fuel_Pressure_Alarm = SAME22("Engine Low Fuel Pressure Alarm");
const ARRAY_OF_STRING_PTRS Engine_Low_System_Voltage_Alarm = SAME22("Engine Low System Voltage Alarm");
const ARRAY_OF_STRING_PTRS Engine_Low_Coolant_Level_Alarm = SAME22("Engine Low Coolant Level Alarm");
const ARRAY_OF_STRING_PTRS Engine_Water_Flow_Alarm = SAME22("Engine Water Flow Alarm");
const ARRAY_OF_STRING_PTRS Engine_Charge_Indicator_Alarm = SAME22("Engine Charge Indicator Alarm");
const ARRAY_OF_STRING_PTRS Alarm_Off = SAME22("Off");
const ARRAY_OF_STRING_PTRS Alarm_On = SAME22("On");
const ARRAY_OF_STRING_PTRS Percent_Suffix = SAME22("%");

constexpr U32 kStateSimulation = 4;
constexpr U32 kStatePointOfSale = 6;

const MENU_LIMITS DepthAlarmLimits[] = {
    {U_FEET, 0.0f, 100.0f, 1.0f},
    {U_METRES, 0.0f, 30.0f, 0.5f},
    {U_FATHOMS, 0.0f, 50.0f, 0.1f},
    {U_NONE, 1.0f, 10.0f, 1.0f},
};
const MENU_LIMITS EnvironmentSTAlarmLimits[] = {
    {U_FAHRENHEIT, -41.0f, 140.0f, 1.0f},
    {U_CELSIUS, -41.0f, 60.0f, 1.0f},
    {U_NONE, -1.0f, 100.0f, 1.0f},
};
const MENU_LIMITS EnvironmentWaterSTAlarmLimits[] = {
    {U_FAHRENHEIT, 32.0f, 120.0f, 1.0f},
    {U_CELSIUS, 0.0f, 50.0f, 1.0f},
    {U_NONE, -1.0f, 100.0f, 1.0f},
};
const MENU_LIMITS EngineTotalFuelAlarmLimits[] = {
    {U_NONE, 0.0f, 100.0f, 1.0f},
};

const MENU_TITLE aAlarmSelectorList[] = {&Alarm_Off, &Alarm_On};
const U32 aAlarmSelectorValue[] = {0, 1};

struct Group {
  MENU_TITLE pTitle;
  MENU_PRIORITY priority;
  MENU_TITLE aNames[1];
};
// The "Alarms" tab shows them in this order.
const Group kGroups[] = {
    {&NMEA2K_Engine, MENU_ENGINE_GROUP, {&NMEA2K_Engine}},
    {&NMEA2K_Environment, MENU_ENVIRONMENT_GROUP, {&NMEA2K_Environment}},
    {&NMEA2K_Depth, MENU_SONAR_GROUP, {&NMEA2K_Depth}},
};

struct Item {
  MENU_TITLE pTitle;
  MENU_TITLE pGroup;
  MENU_PRIORITY priority;
  FOURCHARID key;
  const MENU_LIMITS *pLimits;  // NULL: an Off/On selector
  MENU_TITLE pSuffix;
};
const Item kItems[] = {
    {&NMEA2K_Shallow_Water_Alarm, &NMEA2K_Depth, MENU_SONAR_GROUP_SHALLOW_WATER2, FCID("SDA1"), DepthAlarmLimits,
     nullptr},
    {&NMEA2K_Deep_Water_Alarm, &NMEA2K_Depth, MENU_SONAR_GROUP_DEEP_WATER2, FCID("SDA2"), DepthAlarmLimits, nullptr},
    {&NMEA2K_Temperature_Alarm_Air, &NMEA2K_Environment, MENU_ENVIRONMENT_GROUP_ST_HIGH1, FCID("SATP"),
     EnvironmentSTAlarmLimits, nullptr},
    {&NMEA2K_Temperature_Alarm_Water, &NMEA2K_Environment, MENU_ENVIRONMENT_GROUP_ST_HIGH2, FCID("SWTP"),
     EnvironmentWaterSTAlarmLimits, nullptr},
    {&Total_Fuel_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_TOTAL_FUEL, FCID("SAI1"), EngineTotalFuelAlarmLimits,
     &Percent_Suffix},
    {&Check_Engine_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_CHECK_ENGINE, FCID("SAI2"), nullptr, nullptr},
    {&Engine_Over_Temperature_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_OVER_TEMPERATURE, FCID("SAI4"), nullptr,
     nullptr},
    {&Engine_Low_Oil_Pressure_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_LOW_OIL_PRESSURE, FCID("SAI5"), nullptr,
     nullptr},
    {&Engine_Low_Oil_Level_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_LOW_OIL_LEVEL, FCID("SAI6"), nullptr, nullptr},
    {&Engine_Low_Fuel_Pressure_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_LOW_FUEL_PRESSURE, FCID("SAI7"), nullptr,
     nullptr},
    {&Engine_Low_System_Voltage_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_LOW_SYSTEM_VOLTAGE, FCID("SAI8"), nullptr,
     nullptr},
    {&Engine_Low_Coolant_Level_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_LOW_COOLANT_LEVEL, FCID("SAI9"), nullptr,
     nullptr},
    {&Engine_Water_Flow_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_WATER_FLOW, FCID("SAIA"), nullptr, nullptr},
    {&Engine_Charge_Indicator_Alarm, &NMEA2K_Engine, MENU_ENGINE_GROUP_CHARGE_INDICATOR, FCID("SAIC"), nullptr,
     nullptr},
};

// Settings whose data type makes the menu convert their units, with their factory values.
struct FloatSetting {
  FOURCHARID key;
  DATA_TYPE type;
  float fDefault;
};
const FloatSetting kFloatSettings[] = {
    {FCID("SDA1"), D_DEPTH, 0.0f},
    {FCID("SDA2"), D_DEPTH, 0.0f},
    {FCID("SATP"), D_TEMPERATURE, -41.0f},
    {FCID("SWTP"), D_TEMPERATURE, 0.0f},
};
const FOURCHARID kEngineSwitches[] = {FCID("SAI2"), FCID("SAI4"), FCID("SAI5"), FCID("SAI6"), FCID("SAI7"),
                                      FCID("SAI8"), FCID("SAI9"), FCID("SAIA"), FCID("SAIC")};

bool s_bMenuRegistered = false;

void vWriteFloat(FOURCHARID key, float fValue, DATA_TYPE type) {
  H_DATABASE_bUpdateEverythingFloat(key, fValue, P_NORMAL, type, nullptr, DB_NO_TIMEOUT);
}

void vRegister() {
  for (const Group &group : kGroups) {
    U_MENU_bRegisterMainSubMenuWithIcon(group.pTitle, &Alarms, nullptr, group.priority, group.aNames, group.aNames,
                                        nullptr, 1, M_BASIC);
  }
  // Written back with their data types so that the menu shows them in the chosen units.
  for (const FloatSetting &setting : kFloatSettings) {
    float fValue = setting.fDefault;
    if (!H_DATABASE_bFetchFloat(setting.key, &fValue, nullptr, nullptr)) fValue = setting.fDefault;
    vWriteFloat(setting.key, fValue, setting.type);
  }
  for (const Item &item : kItems) {
    if (item.pLimits != nullptr) {
      U_MENU_bRegisterSubMenuSliderMenu(item.pTitle, item.pGroup, nullptr, item.priority, item.key, item.pLimits,
                                        &Alarm_Off, nullptr, item.pSuffix, M_BASIC);
    } else {
      U_MENU_bRegisterSubMenuSelectorMenu(item.pTitle, item.pGroup, nullptr, item.priority, item.key, 2,
                                          aAlarmSelectorList, aAlarmSelectorValue, M_BASIC);
    }
  }
}

void vUnregister() {
  for (const Group &group : kGroups) U_MENU_bUnregisterMainMenuItem(group.pTitle, &Alarms);
  for (const Item &item : kItems) U_MENU_bUnregisterSubMenuItem(item.pGroup, item.pTitle);
}

}  // namespace

void T_ALARM_vRegisterMenu(void) {
  U32 u32Seen = 0;
  if (!H_DATABASE_bFetchU32(FCID("SNID"), &u32Seen, nullptr, nullptr)) u32Seen = 0;
  U32 u32State = 1;
  if (!H_DATABASE_bFetchU32(FCID("CCST"), &u32State, nullptr, nullptr)) u32State = 1;
  const bool bWanted = u32Seen != 0 || u32State == kStateSimulation || u32State == kStatePointOfSale;
  if (bWanted && !s_bMenuRegistered) {
    s_bMenuRegistered = true;
    vRegister();
  } else if (!bWanted && s_bMenuRegistered) {
    s_bMenuRegistered = false;
    vUnregister();
  }
}

void T_ALARM_vSetDefaultSettings(void) {
  H_DATABASE_bUpdateEverythingU32(FCID("STAW"), 0, P_NORMAL, D_TIME, nullptr, DB_NO_TIMEOUT);
  for (const FloatSetting &setting : kFloatSettings) vWriteFloat(setting.key, setting.fDefault, setting.type);
  vWriteFloat(FCID("SAI1"), 0.0f, D_PERCENT);
  for (FOURCHARID key : kEngineSwitches) {
    H_DATABASE_bUpdateEverythingU32(key, 0, P_NORMAL, D_UNSIGNED32, nullptr, DB_NO_TIMEOUT);
  }
  T_ALARM_vRegisterMenu();
}

void T_ALARM_vResetMenuForTest(void) { s_bMenuRegistered = false; }
