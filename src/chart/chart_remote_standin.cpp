// Stand-in of the chart display calls of the Bluetooth remote: the declutter request is counted and the lake
// chart cards are whatever a test says.
#include <atomic>

#include "chart/chart_remote_standin.h"
#include "kernel/kernel_defs.h"
#include "kernel/sema.h"

namespace {
std::atomic<U32> s_u32Declutters{0};
std::atomic<bool> s_abLakeCard[2] = {false, false};
}  // namespace

void T_CHART_vChartDeclutter(void) {
  ++s_u32Declutters;
  L_SEMA_Signal(SEMA_KEYCLICK_GOOD);
}

BOOLEAN T_CHART_bIsLakeChartCardPresent(U32 u32Slot) { return u32Slot < 2 && s_abLakeCard[u32Slot]; }

void CHART_STANDIN_vSetLakeChartCard(U32 u32Slot, BOOLEAN bPresent) {
  if (u32Slot < 2) s_abLakeCard[u32Slot] = bPresent != FALSE;
}

U32 CHART_STANDIN_u32Declutters(void) { return s_u32Declutters; }
