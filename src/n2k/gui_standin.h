// Stand-in declarations of the NMEA 2000 gauge views' calls that the view tasks make, until those views exist.
#pragma once
#include "settings/database.h"
#include "corvan/types.h"

BOOLEAN NMEA2kSource_bInit(void);
BOOLEAN GUI_bStart(void);
BOOLEAN GUI_bRunStart(void);
void GUI_OnTick(void);
void GUI_vHandleNewData(const MESSAGE_NEW_DATA *pMsg);
void GUI_vSetRedrawStaticPart(void);
void GUI_vRestoreSlotsDefault(void);
void GUI_vSaveN2KViewsVisibility(void);
void GUI_vRegisterGatewayMenus(void);
void GUI_vUnRegisterGatewayMenus(void);
void GUI_vRegisterNMEA2KUnits(void);
void GUI_vUnRegisterNMEA2KUnits(void);
void GUI_vSetViewRegisteration(S32 layer, BOOLEAN bRegister);
BOOLEAN GUI_bIsSourceAvailable(U32 u32Context);
