// The shared 256-entry colour table and the autopilot colours.
#pragma once
#include "draw/bitmap.h"

enum {
    COLOR_TABLE_SIZE = 256,
};

// Points at the colour table from the start; never changed.
extern COLOR *const gCOLOR_pcolColorTable;

typedef struct {
    U32 u32Index;
    COLOR colorStandard;
    COLOR colorPOS;
} POS_COLOR_VARIATION;

typedef enum {
    VNCOLOR_BLACK,
    VNCOLOR_RED,
    VNCOLOR_GREEN,
    VNCOLOR_BROWN,
    VNCOLOR_BLUE,
    VNCOLOR_MAGENTA,
    VNCOLOR_CYAN,
    VNCOLOR_LIGHT_GRAY,
    VNCOLOR_DARK_GRAY,
    VNCOLOR_LIGHT_RED,
    VNCOLOR_LIGHT_GREEN,
    VNCOLOR_YELLOW,
    VNCOLOR_LIGHT_BLUE,
    VNCOLOR_LIGHT_MAGENTA,
    VNCOLOR_LIGHT_CYAN,
    VNCOLOR_WHITE,
    VNCOLOR_ORANGE,
    VNCOLOR_FUSCHIA,
    VNCOLOR_PINK,
    VNCOLOR_LIGHT_YELLOW,
    VNCOLOR_CUSTOM_APHEADING_LINE,
    VNCOLOR_FTC_OPTION1,
    VNCOLOR_FTC_OPTION2,
    VNCOLOR_MAX
} VNCOLOR;

void COLOR_vSetColorTableSection(U32 u32StartIndex, U32 u32Count, const COLOR *pcolorSource);
void COLOR_vFetchColorTableSection(U32 u32StartIndex, U32 u32Count, COLOR *pcolorDest);
void COLOR_vCopyColorTableSection(U32 u32SourceIndex, U32 u32DestinationIndex, U32 u32Count);
void COLOR_vSetPOSPalette(void);
void COLOR_vSetStandardPalette(void);
COLOR COLOR_vGetVantrelColorDef(U32 u32ColorIndex);
