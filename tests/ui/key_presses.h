// Key messages as the keyboard task delivers them, for the editors' tests: one press, and the click it gave.
#pragma once
#include <string>
#include <vector>

#include "kernel/sema.h"
#include "ui/keys/keyboard.h"
#include "ui_test_env.h"

// The keys of the cases: rocker directions, EXIT, and MENU, which no editor takes.
enum UiKey { U, D, R, L, X, NE, MENU };

inline MSG_KEY_CHANGE UI_keyMessage(UiKey k) {
  MSG_KEY_CHANGE msg = {};
  msg.header.Cmd = CMD_ID_KEY_CHANGE;
  msg.state = KEY_DOWN;
  msg.count = 1;
  msg.key = KEY_BIT_CURSOR;
  switch (k) {
    case U: msg.cursor = CURSOR_NORTH; break;
    case D: msg.cursor = CURSOR_SOUTH; break;
    case R: msg.cursor = CURSOR_EAST; break;
    case L: msg.cursor = CURSOR_WEST; break;
    case NE: msg.cursor = CURSOR_NORTH_EAST; break;
    case X: msg.key = KEY_BIT_EXIT; break;
    case MENU: msg.key = KEY_BIT_MENU; break;
  }
  return msg;
}

// Feeds each key to the handler (which returns whether it took the key) and lists the clicks: 'g' accepted,
// 'b' refused, '-' none, 'u' key not taken.
template <typename Handler>
std::string UI_sPress(Handler handle, const std::vector<UiKey> &keys) {
  std::string clicks;
  for (UiKey k : keys) {
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
    UI_bTakeSignal(SEMA_KEYCLICK_BAD);
    const MSG_KEY_CHANGE msg = UI_keyMessage(k);
    if (!handle(&msg)) {
      clicks += 'u';
    } else if (UI_bTakeSignal(SEMA_KEYCLICK_GOOD)) {
      clicks += 'g';
    } else {
      clicks += UI_bTakeSignal(SEMA_KEYCLICK_BAD) ? 'b' : '-';
    }
  }
  return clicks;
}
