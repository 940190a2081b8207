// Stand-in of the autopilot link's recorded-path identity until the link's hashing is written.
#pragma once
#include "corvan/types.h"
#include "navdata/nav_records.h"

// Gives the path a new 64-bit identity whose high word carries 6 in bits 12-15.
void U_VANTREL_COMMON_vGenerateWendrixUID(WENDRIX *pWendrix);

// Tests: identities given since start.
U32 VANTREL_UID_STANDIN_u32CallsForTest(void);
