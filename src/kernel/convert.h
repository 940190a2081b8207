// Conversion of measured values between the internal unit of their data type and the user's units.
// Data types and units are the settings store's DATA_TYPE and UNIT_TYPE values; they are taken as int here so
// that this utility does not depend on the store (every unscoped enum value converts implicitly).
#pragma once

// Fills the factor tables; called once at start-up before any task runs. Read-only afterwards.
void U_CONVERT_vInitialiseConversionUtility(void);
// dValue in FromUnits to the internal unit of DataType; unchanged when FromUnits is that internal unit.
double dConvertToInternal(double dValue, int DataType, int FromUnits);
// dValue in the internal unit of DataType to ToUnits; unchanged when ToUnits is that internal unit.
double dConvertFromInternal(double dValue, int DataType, int ToUnits);
// dValue from one unit to another, through the factors of both.
// Units without factors (and unknown data types or units) leave the value as it is: no division by zero.
double dGenericConvert(double dValue, int From, int To);
