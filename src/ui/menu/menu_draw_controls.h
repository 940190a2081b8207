// Drawing of the control part of menu rows, one function per control kind; also used by other tasks' own lists
// and editors. Each draws at an anchor that is the control's lower-left corner (y grows upward), keeps no state
// and changes nothing but pixels. Colours come from the menu entries 64-68 of the colour table.
#pragma once
#include "draw/bitmap.h"
#include "settings/database.h"
#include "ui/menu/menu.h"
#include "ui/menu/menu_draw_arrows.h"

// Check box and check list (identical): the selected radio button over the unselected one near the row's
// right end when u32value is not 0; nothing otherwise.
void U_MENU_vDrawControlCheckBox(BITMAP *pBitmap, POINT anchor, U32 u32value, U32 u32menuWidth,
                                 U32 u32subMenuHeight);
void U_MENU_vDrawControlCheckList(BITMAP *pBitmap, POINT anchor, U32 u32value, U32 u32menuWidth,
                                  U32 u32subMenuHeight);
// The action marker: a right-pointing triangle near the row's right end.
void U_MENU_vDrawControlAction(BITMAP *pBitmap, POINT anchor, U32 u32value, U32 u32menuWidth, U32 u32subMenuHeight);

void U_MENU_vDrawControlSlider(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                               const M_SLIDER_PARAMETERS *parameters, DATA_FORMAT dataFormat, U32 u32sliderWidth,
                               U32 u32sliderHeight);
void U_MENU_vDrawControlProgressBar(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                                    const M_PROGRESS_BAR_PARAMETERS *parameters, DATA_FORMAT dataFormat,
                                    U32 u32barWidth, U32 u32barHeight);
void U_MENU_vDrawControlNumericEntry(BITMAP *pBitmap, POINT anchor, DB_DATA_TYPE dbValue,
                                     const M_NUMERIC_ENTRY_PARAMETERS *parameters, DATA_FORMAT dataFormat,
                                     U32 u32numboxWidth, U32 u32numboxHeight);
void U_MENU_vDrawControlSelectionBox(BITMAP *pBitmap, POINT anchor, U8 u8CurSel,
                                     const M_SELECTION_BOX_PARAMETERS *parameters, U32 u32selectorWidth,
                                     U32 u32selectorHeight, COLOR backgroundColor);
// Closed: an arrow at the row's right end. Open with several choices: the list of choices beside the row with
// u32value highlighted.
void U_MENU_vDrawControlSubMenu(BITMAP *pBitmap, POINT anchor, U32 u32value, const M_SUB_MENU_PARAMETERS *parameters,
                                U32 u32menuWidth, U32 u32subMenuHeight);
void U_MENU_vDrawControlSubMenuWithNoArrow(BITMAP *pBitmap, POINT anchor, U32 u32value,
                                           const M_SUB_MENU_PARAMETERS *parameters, U32 u32menuWidth,
                                           U32 u32subMenuHeight);
void U_MENU_vDrawControlActionList(BITMAP *pBitmap, POINT anchor, U32 u32value,
                                   const M_ACTION_LIST_PARAMETERS *parameters, U32 u32menuWidth,
                                   U32 u32actionListHeight);
