// Integer navigation geometry shared by the drawing and the AIS code.
#pragma once
#include "corvan/types.h"

// Sine and cosine of whole degrees (any sign), 16.16 fixed point: 65,536 is 1.0.
S32 U_NAV_nIntSin(S32 nAngle);
S32 U_NAV_nIntCos(S32 nAngle);
