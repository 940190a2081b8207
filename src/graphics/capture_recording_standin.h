// Stand-in declaration of the screen-capture module's recording switch until that module is written; its real
// header replaces this one.
#pragma once
#include "kernel/types.h"

// Starts or stops a sonar recording.
void T_VIEW_vToggleRecordingState(void);

// Test hook of the stand-in: switches so far.
U32 CAPTURE_STANDIN_u32RecordingToggles(void);
