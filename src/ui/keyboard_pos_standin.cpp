// Stand-in hooks of the point-of-sale demonstration: the unit never runs it until the demonstration is written.
#include "ui/keyboard_pos.h"

void T_KEYBOARD_vPOSInit(void) {}
void T_KEYBOARD_vHandleSystemStart(void) {}
void T_KEYBOARD_vPOSHandleNewData(const MESSAGE_NEW_DATA *) {}
void T_KEYBOARD_vPOSTimerExpired(void) {}
void T_KEYBOARD_vPOSKeyActivity(void) {}
BOOLEAN T_KEYBOARD_bPOSHandleKeyChange(const MSG_KEY_CHANGE *) { return FALSE; }
