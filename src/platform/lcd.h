// The LCD: four 800 × 480 RGB565 pages with page flip, the key colour over the graphics plane, TV out.
#pragma once
#include <cstddef>

#include "draw/bitmap.h"
#include "kernel/kernel_defs.h"
#include "corvan/types.h"

typedef enum {
    BUFFER_IS_ON_DISPLAY = 1,
    BUFFER_IS_IDLE = 2,
    BUFFER_IS_ALLOCATED = 3,
    BUFFER_IS_WAITING_TO_BE_DISPLAYED = 4,
} DISPLAY_BUFFER_STATUS;

typedef enum {
    M_VIDEO_MODE_LCD = 0,
    M_VIDEO_MODE_NTSC = 1,
    M_VIDEO_MODE_NTSC_J = 2,
    M_VIDEO_MODE_PAL = 3,
    M_VIDEO_MODE_PAL_M = 4,
    M_VIDEO_MODE_PAL_N = 5,
    M_VIDEO_MODE_COUNT = 6,
} VIDEO_MODE;

enum {
    LCD_PAGE_COUNT = 4,
    LCD_SCREEN_PIXELS = SCREEN_PIXELS_WIDE * SCREEN_PIXELS_HIGH,
    LCD_SCREEN_BYTES = LCD_SCREEN_PIXELS * 2,
    LCD_SCREEN_WORDS = LCD_SCREEN_PIXELS / 2,
};

// A page pixel of exactly this value shows the graphics plane beneath.
constexpr COLOR LCD_KEY_COLOR = 0x8401;

// The pixel memory of one whole screen, two pixels per word, top row first.
typedef U32 SCREEN_BUFFER[LCD_SCREEN_WORDS];

typedef struct {
    U32 *buffer;    // start of the page
    S32 displayIdx; // page number 0..3
} osal_buf_t;

typedef struct tag_DISPLAY_BUF {
    osal_buf_t buf;
    DISPLAY_BUFFER_STATUS bufferStatus;
} DISPLAY_BUF;

// What tasks call.
// The mailbox is not used.
void H_DISPLAY_vInitScreen(MBOX mbox);
U32 *H_DISPLAY_pu32GetDisplayBuffer(void);
void H_DISPLAY_vFreeDisplayBuffer(U32 *pu32Buffer);
void H_DISPLAY_vDisplayBitmap(const BITMAP *pBitmap);
SCREEN_BUFFER *H_DISPLAY_psbGetFrameBufferPointer(void);
void H_DISPLAY_vScreenDump(SCREEN_BUFFER *psbBuffer);
void H_DISPLAY_vPowerDown(void);
// The unit's model, once known, named where the screen has a caption.
void H_DISPLAY_vNameModel(const char *szModel);
void H_DISPLAY_vChangeVideoOutMode(VIDEO_MODE eMode);
BOOLEAN H_DISPLAY_bCheckVideoOutPort(void);

// The driver.
void DD_LCD_vInit(void);
U32 *DD_LCD_pu32GetDisplayBuffer(void);
void DD_LCD_vFreeDisplayBuffer(U32 *pu32Buffer);
void DD_LCD_vDisplayScreen(const U32 *pu32ScreenBuffer);
U32 *DD_LCD_pu32GetFrameBufferPointer(void);
void DD_LCD_vScreenDump(U32 *pu32Buffer);
void DD_LCD_vCLS(void);
void DD_LCD_vChangeVideoMode(VIDEO_MODE eMode);
BOOLEAN DD_LCD_bCheckVideoOutPort(void);
void DD_LCD_vSetupPins(void);
void DD_LCD_vDisplayPowerOff(void);
void DD_LCD_vDisplayPowerOn(void);
void DD_LCD_vLCDPowerOff(void);
void DD_LCD_vLCDPowerOn(void);
void DD_LCD_vEnable(void);
void DD_LCD_vDisable(void);
void DD_LCD_vDisplayOff(void);
void DD_LCD_vDisplayOn(void);
void DD_LCD_vSetVCom(float fDutyCycle);

// The state of page i (for the display task's diagnostics and tests).
DISPLAY_BUFFER_STATUS DD_LCD_eGetPageStatus(S32 s32Page);

// Back to the state before DD_LCD_vInit: no pages, TV off, the TV frame count at 0.
void DD_LCD_vReset(void);

// The merge of the TV copy and the screen dump: each page pixel, or the plane's pixel where the page holds
// the key colour.
void DD_LCD_vChromaBlit16(COLOR *pcolDest, const COLOR *pcolPlane, const COLOR *pcolPage, U32 u32Pixels,
                          COLOR colorKey);

void *DD_UTIL_MemsetProxy(void *s, int c, size_t n, const char *szFile, int lineNo);
void *DD_UTIL_MemcpyProxy(void *dest, const void *src, size_t n, const char *szFile, int lineNo);
void *DD_UTIL_FastMemcpyProxy(void *dest, const void *src, U32 n);
