// The keypad's hardware layer: 16 physical keys become 13 logical keys, the four cursor keys one key with a
// direction; auto-repeat 500 ms after the press, then every 200 ms, counted from the due time.
#include <cstring>

#include "kernel/tick.h"
#include "platform/keyboard.h"

namespace {

constexpr S32 kFirstRepeatMs = 500;
constexpr S32 kRepeatMs = 200;

typedef struct {
  KEY_STATE state;  // 0 only before the first poll
  CURSOR_POSITION cursor;
  CURSOR_MODE c_mode;
  BOOLEAN changed;
  BOOLEAN repeat;
  BOOLEAN accelerate;
  S32 count_down;
  U32 acceleration_count;
  TICKS elapsed;
} H_KEY_STATE;

H_KEY_STATE s_keyState[HKEY_NUM_KEYS];
BOOLEAN s_bState[DKEY_NUM_KEYS];

// The physical key of each plain logical key.
const struct {
  HKEY_ID hKey;
  DKEY_ID dKey;
} kPlainKeys[] = {
    {HKEY_POWER, DKEY_POWER},         {HKEY_MENU, DKEY_MENU},           {HKEY_EXIT, DKEY_EXIT},
    {HKEY_VIEW, DKEY_VIEW},           {HKEY_ZOOM_IN, DKEY_ZOOM_IN},     {HKEY_ZOOM_OUT, DKEY_ZOOM_OUT},
    {HKEY_MARK, DKEY_MARK},           {HKEY_GOTO, DKEY_GOTO},           {HKEY_INFO, DKEY_INFO},
    {HKEY_SOFT_KEY_1, DKEY_SOFT_KEY_1}, {HKEY_SOFT_KEY_2, DKEY_SOFT_KEY_2}, {HKEY_SOFT_KEY_3, DKEY_SOFT_KEY_3},
};

TICKS now() { return H_TICK_u32ReadFreeRunningTimerInMilliSeconds(); }

void vStartRepeat(H_KEY_STATE &k) {
  k.acceleration_count = 1;
  k.count_down = kFirstRepeatMs;
  k.elapsed = now();
}

// A key that is pressed (bDown) or released in this poll; TRUE when it produced an event.
bool bUpdateKey(H_KEY_STATE &k, bool bDown) {
  if (!bDown) {
    if (k.state == KEY_UP) return false;
    k.state = KEY_UP;
    k.changed = TRUE;
    return true;
  }
  if (k.state != KEY_DOWN) {
    k.state = KEY_DOWN;
    k.changed = TRUE;
    if (k.repeat) vStartRepeat(k);
    return true;
  }
  // Repeat off is the only stop: a count-down that lands on exactly 0 is a repeat due now, not the end of them.
  if (!k.repeat) return false;
  const TICKS tNow = now();
  k.count_down -= static_cast<S32>(tNow - k.elapsed);
  k.elapsed = tNow;
  if (k.count_down > 0) return false;
  k.count_down += kRepeatMs;
  k.changed = TRUE;
  if (k.accelerate) k.acceleration_count++;
  return true;
}

CURSOR_POSITION eDirection(U32 u32Mask, CURSOR_MODE eMode) {
  const bool bEight = eMode != CURSOR_4;
  switch (u32Mask) {
    case 0: return CURSOR_UP;
    case 1: return CURSOR_NORTH;
    case 2: return CURSOR_SOUTH;
    case 4: return CURSOR_WEST;
    case 8: return CURSOR_EAST;
    case 9: return bEight ? CURSOR_NORTH_EAST : CURSOR_ILLEGAL;
    case 10: return bEight ? CURSOR_SOUTH_EAST : CURSOR_ILLEGAL;
    case 6: return bEight ? CURSOR_SOUTH_WEST : CURSOR_ILLEGAL;
    case 5: return bEight ? CURSOR_NORTH_WEST : CURSOR_ILLEGAL;
    default: return CURSOR_ILLEGAL;
  }
}

}  // namespace

void H_KEYBOARD_vInit(void) {
  DD_KEYBOARD_vInit();
  std::memset(s_keyState, 0, sizeof s_keyState);
  for (U32 i = 0; i < HKEY_NUM_KEYS; ++i) {
    H_KEY_STATE &k = s_keyState[i];
    k.cursor = CURSOR_UP;
    k.c_mode = i == HKEY_CURSOR ? CURSOR_4 : NOT_CURSOR_KEY;
  }
  // Keys held at start give no press; their release will give an event.
  H_KEYBOARD_bProcessKeys();
  for (auto &k : s_keyState) k.changed = FALSE;
}

BOOLEAN H_KEYBOARD_bProcessKeys(void) {
  DD_KEYBOARD_vGetState(s_bState);
  bool bActivity = false;
  for (const auto &key : kPlainKeys) {
    if (bUpdateKey(s_keyState[key.hKey], s_bState[key.dKey] != FALSE)) bActivity = true;
  }
  H_KEY_STATE &cursor = s_keyState[HKEY_CURSOR];
  const U32 u32Mask = (s_bState[DKEY_CURSOR_UP] ? 1u : 0u) | (s_bState[DKEY_CURSOR_DOWN] ? 2u : 0u) |
                      (s_bState[DKEY_CURSOR_LEFT] ? 4u : 0u) | (s_bState[DKEY_CURSOR_RIGHT] ? 8u : 0u);
  const CURSOR_POSITION eDir = eDirection(u32Mask, cursor.c_mode);
  if (eDir != cursor.cursor) {
    cursor.cursor = eDir;
    cursor.changed = TRUE;
    bActivity = true;
  }
  if (bUpdateKey(cursor, u32Mask != 0)) bActivity = true;
  return bActivity ? TRUE : FALSE;
}

BOOLEAN H_KEYBOARD_bFetchKeyEvent(HKEY_ID *phKey, KEY_STATE *pState, U32 *pu32RepeatCount,
                                  CURSOR_POSITION *pCursor) {
  for (U32 i = 0; i < HKEY_NUM_KEYS; ++i) {
    H_KEY_STATE &k = s_keyState[i];
    if (!k.changed) continue;
    k.changed = FALSE;
    *phKey = static_cast<HKEY_ID>(i);
    *pState = k.state;
    *pu32RepeatCount = k.acceleration_count;
    *pCursor = k.cursor;
    return TRUE;
  }
  return FALSE;
}

void H_KEYBOARD_vSetupKey(HKEY_ID key, BOOLEAN bRepeat, BOOLEAN bAccelerate, CURSOR_MODE cursor_mode) {
  if (key >= HKEY_NUM_KEYS) return;
  H_KEY_STATE &k = s_keyState[key];
  k.c_mode = cursor_mode;
  k.accelerate = bAccelerate;
  k.repeat = bRepeat;
  k.changed = FALSE;
  if (bRepeat) {
    vStartRepeat(k);
  } else {
    k.count_down = 0;
    k.acceleration_count = 0;
    k.elapsed = 0;
  }
}

BOOLEAN H_KEYBOARD_bIsDown(HKEY_ID hKey) {
  return hKey < HKEY_NUM_KEYS && s_keyState[hKey].state == KEY_DOWN ? TRUE : FALSE;
}

BOOLEAN H_KEYBOARD_bIsPowerPressed(void) {
  return DD_KEYBOARD_bIsPressed(DKEY_POWER);
}
