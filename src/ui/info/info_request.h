// Requests of sensor tasks to show their reading in one of the five user readout boxes ('SIS1'..'SIS5').
#pragma once
#include "settings/database.h"

// Records the request (at most five for the life of the program) and places the item in an empty box, looking
// from box u32Desired_window (1..5) up and then from box 1. TRUE when the item is shown, already or now.
BOOLEAN U_INFO_bDisplayInInfoBox(FOURCHARID fcidItemToBeDisplayed, U32 u32Desired_window);
// Places every recorded request again, in recording order.
void U_INFO_vReinitializeInfoBoxes(void);
// Forgets every request (tests only).
void U_INFO_vResetForTest(void);
