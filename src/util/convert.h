// Conversion of measured values between the internal unit of their data type and the user's units.
#pragma once
#include "settings/database.h"

// Fills the factor tables; called once at start-up before any task runs. Read-only afterwards.
void U_CONVERT_vInitialiseConversionUtility(void);
// dValue in FromUnits to the internal unit of DataType; unchanged when FromUnits is that internal unit.
double dConvertToInternal(double dValue, DATA_TYPE DataType, UNIT_TYPE FromUnits);
// dValue in the internal unit of DataType to ToUnits; unchanged when ToUnits is that internal unit.
double dConvertFromInternal(double dValue, DATA_TYPE DataType, UNIT_TYPE ToUnits);
// dValue from one unit to another, through the factors of both.
// Units without factors (and values outside the tables) leave the value as it is: no division by zero.
double dGenericConvert(double dValue, UNIT_TYPE From, UNIT_TYPE To);
