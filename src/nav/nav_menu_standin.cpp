// Stand-in of the navigation services the menu task calls: notes and go-to requests are only remembered.
#include "nav/nav_menu_standin.h"

#include <atomic>

namespace {
std::atomic<const ARRAY_OF_STRING_PTRS *> s_pLastNote{nullptr};
std::atomic<U32> s_u32GoTo{0};
std::atomic<BOOLEAN> s_bGPSDetected{FALSE};
}  // namespace

BOOLEAN T_NAV_bGPSDetected(void) { return s_bGPSDetected; }
void T_NAV_vGoToWaypointInMenu(void) { ++s_u32GoTo; }
void T_NAV_vSetNavUINoteWithTimeout(const ARRAY_OF_STRING_PTRS *pText, const char *, U32, BOOLEAN) {
  s_pLastNote = pText;
}
void T_NAV_vSetNavUINote(const ARRAY_OF_STRING_PTRS *pText, const char *, BOOLEAN) { s_pLastNote = pText; }

const ARRAY_OF_STRING_PTRS *NAV_STANDIN_pLastNote(void) { return s_pLastNote; }
U32 NAV_STANDIN_u32GoToCount(void) { return s_u32GoTo; }
void NAV_STANDIN_vSetGPSDetected(BOOLEAN bDetected) { s_bGPSDetected = bDetected; }
void NAV_STANDIN_vResetMenuCalls(void) {
  s_pLastNote = nullptr;
  s_u32GoTo = 0;
  s_bGPSDetected = FALSE;
}
