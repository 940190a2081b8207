// Stand-in declarations of the chart display calls the Bluetooth remote uses, until the chart task is written;
// the real header replaces this one.
#pragma once
#include "corvan/types.h"

// Hides chart clutter for 10 s and gives the accepted click.
void T_CHART_vChartDeclutter(void);
// A card of the own lake charts is in card slot 0 or 1.
BOOLEAN T_CHART_bIsLakeChartCardPresent(U32 u32Slot);

// Test hooks of the stand-in.
void CHART_STANDIN_vSetLakeChartCard(U32 u32Slot, BOOLEAN bPresent);
U32 CHART_STANDIN_u32Declutters(void);
