// Stand-in platform set-up: only the card slots so far; the drawing and chart steps come with their modules.
#include "platform/sd.h"

void H_PLATFORM_vSetup(void) { DD_SD_vInit(); }
