// Shared between the start-up task and its screens.
#pragma once
#include "settings/language.h"
#include "ui/startup/startup.h"

constexpr U32 STARTUP_MENU_MS = 5000;

typedef struct {
  const ARRAY_OF_STRING_PTRS *pString;
  BOOLEAN bIsNormalDefault;
  BOOLEAN bIsSimulatedDefault;
  SYSTEM_STATE state;
} STARTUP_MENU_LINE;

// The start-up menu: lines 0 to 2 are offered; line 3 never is.
extern const STARTUP_MENU_LINE s_structStartupMenu[4];
extern const ARRAY_OF_STRING_PTRS STARTUP_Normal, STARTUP_Simulator, STARTUP_System_Status, STARTUP_PC_Connect;

// The owner's personal text from the settings files, shown on the splash screen.
extern char STARTUP_acPersonalString[253];

// Transducer detection and the first system state (the end of the initialisation).
void STARTUP_vChooseFirstState(void);

// Changes of the task state that the key handling makes.
void STARTUP_vOpenMenu(void);
void STARTUP_vRestartMenuTimer(void);
void STARTUP_vSetMenuLine(S32 s32Line);
void STARTUP_vSetState(SYSTEM_STATE eState);
void STARTUP_vFinishDisclaimer(void);
void STARTUP_vSetPage(U32 u32Page);
void STARTUP_vSetSuperUserCount(U32 u32Count);
