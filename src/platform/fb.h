// The frame-buffer surface under the LCD driver: one table per platform, chosen at link time
// (fb_omap.cpp on the board, host/fb_host.cpp in the simulator).
#pragma once
#include "platform/lcd.h"

typedef struct {
    // Opens the LCD plane as four stacked 800 × 480 pages; fills the page starts and returns the bytes
    // per page, or -1 when the plane cannot be opened, started or set.
    S32 (*s32Open)(U32 *apu32Pages[LCD_PAGE_COUNT]);
    // Pixels of exactly this value let the graphics plane through (-1: no key).
    void (*vSetChromaKey)(int iKey);
    // Pans to page s32Page and waits for the next vertical sync.
    void (*vShowPage)(S32 s32Page);
    // The TV-out frame ("/dev/fb2") and the graphics plane ("/dev/fb0"), each one screen; NULL when absent.
    COLOR *(*pcolMapTvFrame)(void);
    COLOR *(*pcolMapGraphicsPlane)(void);
    // Starts the TV encoder's shell command; the driver reaps it later without waiting.
    void (*vStartVideoCommand)(const char *szCommand);
    void (*vReapVideoCommand)(void);
    // The file whose first character is '1' while a TV is attached.
    const char *(*szTvDetectPath)(void);
    // Names the unit's model where the screen has a caption (the simulator's window title).
    void (*vNameModel)(const char *szModel);
} FB_SURFACE_OPS;

const FB_SURFACE_OPS *FB_pGetSurfaceOps(void);
