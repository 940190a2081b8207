// The simulator's frame-buffer surface: four pages, the graphics plane and the TV frame in memory.
#pragma once
#include <string>
#include <vector>

#include "platform/lcd.h"

// The graphics plane under the LCD pages (where the 3-D chart draws) and the TV-out frame.
COLOR *FBHOST_pcolGraphicsPlane(void);
COLOR *FBHOST_pcolTvFrame(void);
// The page last panned to (-1 before the first) and how many pans there were.
S32 FBHOST_s32PannedPage(void);
U32 FBHOST_u32PanCount(void);
// The folder that stands for the board's device and sysfs tree.
std::string FBHOST_sDeviceRoot(void);
// Writes what the viewer sees (page on display over the graphics plane) as an 800 × 480 PNG.
bool FBHOST_bWriteScreenshot(const char *szPath);
