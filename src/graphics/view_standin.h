// Stand-in declarations of the view task's client interface (layers, the view-selection menu) until the view
// task is written; the real header replaces this one.
#pragma once
#include "graphics/bitmap.h"
#include "kernel/database.h"
#include "kernel/mbox.h"

typedef S32 LAYER_ID;
enum : LAYER_ID {
  USED_BY_ALL = -1,
  USED_BY_NONE = 0,
  POS_MESSAGE_LAYER = 327,
  SHUTDOWN_LAYER = 330,
  VIRTUAL_DISPLAY_VIEW_LAYER = 334,
};

typedef S32 SPLIT_WINDOW_TYPE;
enum : SPLIT_WINDOW_TYPE { SPLIT_FULL_WINDOW = 1, SPLIT_LEFT_WINDOW = 2, SPLIT_RIGHT_WINDOW = 3 };

typedef struct {
  S32 s32ClipLeft;
  S32 s32ClipTop;
  S32 s32ClipRight;
  S32 s32ClipBottom;
} WINDOW_LOCATION;

typedef struct {
  LAYER_ID currentLayer;
  SPLIT_WINDOW_TYPE activeWindow;
  SPLIT_WINDOW_TYPE drawWindowType;
  WINDOW_LOCATION drawWindow;
  BOOLEAN bExpedited;
  U32 u32User;
} WINDOW_SPECIFICATION;
typedef WINDOW_SPECIFICATION *WINDOW_SPECIFICATION_POINTER;
typedef void DRAW_FUNCTION(BITMAP *pBitmap, WINDOW_SPECIFICATION_POINTER pWindow);

typedef struct {
  GENERIC_MESSAGE header;
  LAYER_ID layer;
  LAYER_ID where_used;
  DRAW_FUNCTION *pDrawFunction;
  FOURCHARID fcidDisplayFlag;
  BOOLEAN bDisplay;
  U32 user;
  const ARRAY_OF_STRING_PTRS *pPlaybackString;
  const ARRAY_OF_STRING_PTRS *pSimString;
  const ARRAY_OF_STRING_PTRS *pPOSString;
  SPLIT_WINDOW_TYPE eLocation;
  FOURCHARID fcidSplitControl;
  BOOLEAN flag;
} MSG_REGISTER_LAYER;

typedef struct {
  GENERIC_MESSAGE header;
  LAYER_ID layer;
  SPLIT_WINDOW_TYPE eLocation;
  BOOLEAN flag;
} MSG_UNREGISTER_LAYER;

BOOLEAN U_VIEW_bRegisterLayer(DRAW_FUNCTION *pfnDraw, LAYER_ID layer, LAYER_ID layerWhereUsed, U32 u32User,
                              FOURCHARID fcidControl, BOOLEAN bDefaultState,
                              const ARRAY_OF_STRING_PTRS *pPlaybackString, const ARRAY_OF_STRING_PTRS *pSimString,
                              const ARRAY_OF_STRING_PTRS *pPOSString);
BOOLEAN U_VIEW_bUnRegisterLayer(LAYER_ID layer);

void GUI_vRegisterSelectViewMenu(void);
void GUI_vUnRegisterSelectViewMenu(void);
