// Stand-in unit conversion set-up; replaced by the unit conversion utility.
void U_CONVERT_vInitialiseConversionUtility(void) {}
