// Stand-in of the screen capture and the capture review view as the view task calls them: no snapshots, no
// review view, no playback until the capture module exists.
#include "graphics/view_task.h"

void T_VIEW_vSetupThumbnailSlots(void) {}
void T_VIEW_vSetupPlaybackIconBar(void) {}
void T_VIEW_vSetupCapture(void) {}
void T_VIEW_vHandleKeys(const MSG_KEY_CHANGE *) {}
void T_VIEW_vHandlePingStart(const GENERIC_MESSAGE *) {}
void T_VIEW_vHandleCaptureNewData(const MESSAGE_NEW_DATA *) {}
void T_VIEW_vToggleDisplayUpdateFreeze(BOOLEAN) {}
void T_VIEW_vCheckCursorKeyRegistration(void) {}
void T_VIEW_vUpdated_SCSC(void) {}
void T_VIEW_vSetSRViewState(SR_VIEW_STATE) {}
void T_VIEW_vReleaseFileImage(void) {}
