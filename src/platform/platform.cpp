#include "platform/platform.h"

#include "chart/chart_setup_standin.h"
#include "chartlib/plt_setup_standin.h"
#include "chartlib/raster/gp_gl.h"
#include "draw/color.h"
#include "draw/icon.h"
#include "platform/sd.h"

namespace {
// The chart library keeps pointers to its fonts for the whole run.
FONT s_aFonts[3];
}  // namespace

void H_PLATFORM_vSetup(void) {
  G_ICON_vSetIconPalette(gCOLOR_pcolColorTable + 80);
  DD_SD_vInit();
  U_CHART_CACHE_vInit();
  gr_SetColorPalette(gCOLOR_pcolColorTable + 148);
  fnt_INIT_Daravazos06x09(&s_aFonts[0]);
  fnt_INIT_Daravazos06x11(&s_aFonts[1]);
  fnt_INIT_Daravazos09x15(&s_aFonts[2]);
  for (SINT nSlot = 0; nSlot < 3; ++nSlot) gr_AddFont(&s_aFonts[nSlot], nSlot);
  plt_InstallPatternsAndBitmaps();
  T_CHART_3D_vInitImageToolkit();
}
