// Chart layer groups: the custom layer mask SLAY and one on/off setting per layer group.
#pragma once
#include "corvan/types.h"

// Writes the mask (its default when missing, invalid or bForce) and each group's key from its bit.
void T_CHART_LAYER_vSetupDatabaseItems(BOOLEAN bForce);
