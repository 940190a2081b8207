// Stand-in of the NMEA 2000 gauge views: no sources, no views, nothing to register yet.
#include "n2k/gui_standin.h"

BOOLEAN NMEA2kSource_bInit(void) { return TRUE; }
BOOLEAN GUI_bStart(void) { return TRUE; }
BOOLEAN GUI_bRunStart(void) { return TRUE; }
void GUI_OnTick(void) {}
void GUI_vHandleNewData(const MESSAGE_NEW_DATA *) {}
void GUI_vSetRedrawStaticPart(void) {}
void GUI_vRestoreSlotsDefault(void) {}
void GUI_vSaveN2KViewsVisibility(void) {}
void GUI_vRegisterGatewayMenus(void) {}
void GUI_vUnRegisterGatewayMenus(void) {}
void GUI_vRegisterNMEA2KUnits(void) {}
void GUI_vUnRegisterNMEA2KUnits(void) {}
BOOLEAN GUI_bIsSourceAvailable(U32) { return TRUE; }
