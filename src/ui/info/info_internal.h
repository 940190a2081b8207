// Shared between the info module's files: the task's hooks into the module state and small drawing helpers.
#pragma once
#include "draw/icon.h"
#include "ui/info/info.h"

extern const COLOR acInfoPaletteBlueBackground[4];
extern const COLOR acInfoPaletteBlackBackground[4];
extern const COLOR acInfoPaletteWhiteBackground[4];

// Settings reads of the drawing code: a missing item gives the default, or FALSE.
S32 INFO_s32Fetch(FOURCHARID fcid, S32 s32Default);
bool INFO_bFetchTrue(FOURCHARID fcid);

// The current view is this unit's radar information view.
BOOLEAN INFO_bRadarInfoView(void);
// One tick of the one-second timer: the propeller frame moves on and the blink phase flips.
void INFO_vAdvanceBlink(void);
void INFO_vSetBlinkState(BOOLEAN bOn);
S32 INFO_nPropIconId(void);
U8 INFO_u8Alpha(void);
// Copies the palette chosen by a 'SPAL' value into the readout colours and remembers it.
void INFO_vApplyPalette(U32 u32Palette);
// DONT_FORCE becomes the 'SFMT' setting.
DIGITS_FORMAT INFO_eResolveFormat(DIGITS_FORMAT eForceFormat);
// The icon centred on (x, y): left edge x - width / 2 + 1, bottom y - height / 2.
void INFO_vPutIconCentred(BITMAP *pBitmap, const ICON *pIcon, S32 x, S32 y);
