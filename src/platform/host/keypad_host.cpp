// The simulator's keypad: keys of the desktop keyboard pressed in the window, mapped onto the unit's keys.
#include <linux/input-event-codes.h>

#include "corvan/types.h"

namespace {
// Desktop arrow keys; the names are taken by the keypad's key states below.
constexpr U16 kDesktopUp = KEY_UP;
constexpr U16 kDesktopDown = KEY_DOWN;
}  // namespace
#undef KEY_UP
#undef KEY_DOWN

#include "platform/host/window.h"
#include "platform/keyboard.h"
#include "platform/keypad_ops.h"

namespace {

// Desktop key (as the window reports it) to the unit's key; keep README.md's table in step.
const struct {
  U16 u16Desktop;
  DKEY_ID eKey;
} kDesktopMap[] = {
    {KEY_P, DKEY_POWER},        {KEY_M, DKEY_MENU},           {KEY_ESC, DKEY_EXIT},
    {KEY_BACKSPACE, DKEY_EXIT}, {KEY_V, DKEY_VIEW},           {KEY_PAGEUP, DKEY_ZOOM_IN},
    {KEY_Z, DKEY_ZOOM_IN},      {KEY_PAGEDOWN, DKEY_ZOOM_OUT}, {KEY_X, DKEY_ZOOM_OUT},
    {KEY_K, DKEY_MARK},         {KEY_SPACE, DKEY_MARK},       {KEY_G, DKEY_GOTO},
    {KEY_I, DKEY_INFO},         {KEY_ENTER, DKEY_INFO},       {kDesktopUp, DKEY_CURSOR_UP},
    {kDesktopDown, DKEY_CURSOR_DOWN}, {KEY_LEFT, DKEY_CURSOR_LEFT}, {KEY_RIGHT, DKEY_CURSOR_RIGHT},
    {KEY_F1, DKEY_SOFT_KEY_1},  {KEY_F2, DKEY_SOFT_KEY_2},    {KEY_F3, DKEY_SOFT_KEY_3},
};

// The window's own auto-repeat (value 2) reaches the driver, which ignores it as it ignores the kernel's.
void vWindowKey(U16 u16Code, S32 s32Value) {
  for (const auto &entry : kDesktopMap) {
    if (entry.u16Desktop == u16Code) DD_KEYBOARD_vHandleRecord(EV_KEY, DD_KEYBOARD_u16CodeOfIndex(entry.eKey), s32Value);
  }
}

const char *pcNoDevice(void) { return nullptr; }
void vStartWindowKeys(void) { WINDOW_vSetKeySink(vWindowKey); }

const KEYPAD_OPS s_tHostOps = {
    .pcDevicePath = pcNoDevice,              // the desktop's own input devices are not the unit's keypad
    .vStartOtherSources = vStartWindowKeys,  // keys pressed in the window
};

}  // namespace

const KEYPAD_OPS *KEYPAD_pGetHostOps(void) { return &s_tHostOps; }
