// The doubled-coordinate circle scheme shared by circles, rounded boxes and arcs.
// Runs on twice the offsets so that odd diameters and any corner radius come out symmetric.
#pragma once
#include "corvan/types.h"

enum class CURVE_SCHEME {
    CIRCLE,          // start from the diameter; plots steps with even Y2
    ROUNDED_OUTLINE, // start from twice the radius; plots every step
    ROUNDED_FILLED,  // start from twice the radius; plots steps with even Y2
    ARC = ROUNDED_OUTLINE,
};

// Calls plot(a, b) with a = Y2 / 2 (the smaller offset) and b = X2 / 2 for every plotting step of one octant.
// s32Start is the diameter (circle) or twice the radius, read as signed.
template <typename PLOT> void G_CURVE_vRun(CURVE_SCHEME eScheme, S32 s32Start, PLOT &&plot)
{
    S64 X2 = s32Start;
    S64 Y2 = 0;
    S64 E = -(S64)s32Start;
    do {
        if (eScheme == CURVE_SCHEME::ROUNDED_OUTLINE || (Y2 & 1) == 0) {
            plot((S32)(Y2 / 2), (S32)(X2 / 2));
        }
        switch (eScheme) {
        case CURVE_SCHEME::CIRCLE:
            E += 2 * Y2 + 1;
            if (E >= 0) {
                E -= 2 * X2 - 1;
                X2--;
            }
            break;
        case CURVE_SCHEME::ROUNDED_OUTLINE:
            E += 2 * Y2 + 1;
            if (E > 0) {
                E -= 2 * X2 - 1;
                X2--;
            }
            break;
        case CURVE_SCHEME::ROUNDED_FILLED:
            E += Y2;
            if (E >= 0) {
                E -= X2;
                X2--;
            }
            break;
        }
        Y2++;
    } while (X2 >= Y2);
}
