// The tone task: plays one tune at a time with one timer that alternates between a beep and a silence.
#include "ui/keys/tone.h"

#include "settings/database.h"
#include "kernel/error.h"
#include "kernel/memory.h"
#include "kernel/reset.h"
#include "kernel/sema.h"
#include "kernel/timer.h"
#include "platform/tone.h"
#include "ui/menu/menu.h"


const ARRAY_OF_STRING_PTRS Alarm_Tone = SAME22("Alarm Tone");
const ARRAY_OF_STRING_PTRS Tone_Mode = SAME22("Tone Mode");
const ARRAY_OF_STRING_PTRS Sound_Control = SAME22("Sound Control");
const ARRAY_OF_STRING_PTRS High = SAME22("High");
const ARRAY_OF_STRING_PTRS Medium = SAME22("Medium");
const ARRAY_OF_STRING_PTRS Low = SAME22("Low");
const ARRAY_OF_STRING_PTRS No_Sounds = SAME22("No Sounds");
const ARRAY_OF_STRING_PTRS Alarms_Only = SAME22("Alarms Only");
const ARRAY_OF_STRING_PTRS All_Sounds = SAME22("All Sounds");

namespace {

// clang-format off
const TONE_BURST toneTestBurst = {3, 2, {{{2575, 1575, 875}, 100, 0}, {{1650, 650, 250}, 200, 100},
                                         {{3500, 2500, 1500}, 100, 0}}, 1000};
const TONE_BURST toneStartBurst = {1, 1, {{{1500, 1000, 500}, 50, 0}}, 0};
const TONE_BURST toneKeyClickGood = {1, 1, {{{1390, 1010, 800}, 70, 0}}, 0};
const TONE_BURST toneKeyClickBad = {2, 1, {{{1390, 1010, 830}, 70, 0}, {{1330, 990, 800}, 110, 0}}, 10};
const TONE_BURST toneLargeFish = {1, 4, {{{4200, 2090, 1390}, 40, 20}}, 0};
const TONE_BURST toneSmallFish = {1, 2, {{{3670, 1390, 810}, 40, 20}}, 0};
const TONE_BURST toneGeneralAlert = {1, 3, {{{4140, 2070, 1380}, 150, 50}}, 0};
const TONE_BURST toneAlarmAlert = {1, 1, {{{4140, 2070, 1380}, 150, 50}}, 0};
// clang-format on

// Standard tunes 1 to 9; the medium fish plays the small-fish tune.
const TONE_BURST *const kStandard[NUM_STANDARD_TONES] = {
    nullptr,        &toneTestBurst, &toneStartBurst, &toneKeyClickGood, &toneKeyClickBad,
    &toneLargeFish, &toneSmallFish, &toneSmallFish,  &toneGeneralAlert, &toneAlarmAlert,
};

TONE_PITCH s_eTonePitch = PITCH_NORMAL;
TONE_MODE s_eToneMode = TONE_MODE_ALL;
BOOLEAN s_bKeyclickOn = TRUE;
TIMER_INFO *s_pclkTimer1 = nullptr;
const TONE_BURST *s_pCurrentBurst = nullptr;
U32 s_u32PulseSequence = 0;
U32 s_u32BurstSequence = 0;

constexpr U32 kMaxPulses = 5;

const TONE_BURST *pStandardOrCustom(TONE_SEQUENCE eTone, const TONE_BURST *pCustom) {
  if (eTone >= TONE_TEST && eTone <= TONE_ALARM_ALERT) return kStandard[eTone];
  return pCustom;
}

// A custom tune comes from another task: never more pulses than the table holds.
U32 u32Pulses(const TONE_BURST *pBurst) { return pBurst->u32NumPulses < kMaxPulses ? pBurst->u32NumPulses : kMaxPulses; }

void vArm(TICKS ticks, SEMA sema) {
  if (ticks == 0) {
    L_TIMER_Stop(s_pclkTimer1);
    L_SEMA_Signal(sema);
  } else {
    L_TIMER_Start(s_pclkTimer1, ticks, 0, sema);
  }
}

void vStartBeep() {
  const TONE_PULSE &pulse = s_pCurrentBurst->tone[s_u32PulseSequence];
  const float fHz = s_eTonePitch == PITCH_HIGH  ? pulse.sFreq.fHigh
                    : s_eTonePitch == PITCH_LOW ? pulse.sFreq.fLow
                                                : pulse.sFreq.fNormal;
  H_TONE_vStartTone(fHz);
  vArm(pulse.ticksToneDuration, SEMA_TIMER_TONE1);
}

// All pulses of one repetition are done.
void vRepetitionDone() {
  s_u32PulseSequence = 0;
  s_u32BurstSequence++;
  if (static_cast<S32>(s_u32BurstSequence) == s_pCurrentBurst->s32RepeatCount) {
    s_pCurrentBurst = nullptr;
    return;
  }
  vArm(s_pCurrentBurst->ticksSpaceBetweenBurstDuration, SEMA_TIMER_TONE2);
}

void vPlay(const TONE_BURST *pBurst) {
  L_TIMER_Stop(s_pclkTimer1);
  // No repetitions (or a count that means nothing) is silence, not a tune without end.
  if (pBurst->s32RepeatCount == 0 || pBurst->s32RepeatCount < -1) {
    H_TONE_vStopTone();
    s_pCurrentBurst = nullptr;
    return;
  }
  s_pCurrentBurst = pBurst;
  s_u32PulseSequence = 0;
  s_u32BurstSequence = 0;
  if (u32Pulses(pBurst) == 0) {
    vRepetitionDone();
  } else {
    vStartBeep();
  }
}

void vEndOfBeep() {
  H_TONE_vStopTone();
  L_TIMER_Stop(s_pclkTimer1);
  if (s_pCurrentBurst == nullptr) return;
  const TICKS space = s_pCurrentBurst->tone[s_u32PulseSequence].ticksSpaceDuration;
  L_TIMER_Start(s_pclkTimer1, space == 0 ? 1 : space, 0, SEMA_TIMER_TONE2);
  s_u32PulseSequence++;
}

void vEndOfSilence() {
  L_TIMER_Stop(s_pclkTimer1);
  if (s_pCurrentBurst == nullptr) return;
  if (s_u32PulseSequence < u32Pulses(s_pCurrentBurst)) {
    vStartBeep();
  } else {
    vRepetitionDone();
  }
}

void vStopTune() {
  L_TIMER_Stop(s_pclkTimer1);
  H_TONE_vStopTone();
  s_pCurrentBurst = nullptr;
}

// A semaphore request: only into silence.
void vPlayIfIdle(const TONE_BURST *pBurst, bool bAllowed) {
  if (s_pCurrentBurst == nullptr && bAllowed) vPlay(pBurst);
}

void vWriteU32(FOURCHARID key, U32 u32Value) { H_DATABASE_bUpdateValueU32(key, u32Value, P_NORMAL); }

void vNewPitch(U32 u32Value) {
  if (u32Value < PITCH_HIGH || u32Value > PITCH_LOW) {
    vWriteU32(FCID("STON"), u32Value < PITCH_HIGH ? PITCH_HIGH : PITCH_LOW);
    return;
  }
  if (u32Value == s_eTonePitch) return;
  s_eTonePitch = static_cast<TONE_PITCH>(u32Value);
  if (s_eToneMode != TONE_MODE_SILENT) vPlay(&toneTestBurst);
}

void vHandleNewData(const MESSAGE_NEW_DATA *pMsg) {
  if (!pMsg->bValid) return;
  switch (pMsg->FourCharId) {
    case FCID("CKCK"):
      s_bKeyclickOn = static_cast<BOOLEAN>(pMsg->dbValue.u32Val & 0xFF);
      break;
    case FCID("STMD"):
      s_eToneMode = static_cast<TONE_MODE>(pMsg->dbValue.u32Val);
      break;
    case FCID("STON"):
      vNewPitch(pMsg->dbValue.u32Val);
      break;
    default:
      break;
  }
}

void vHandleMessage(void *pvMsg) {
  auto *pMsg = static_cast<GENERIC_MESSAGE *>(pvMsg);
  switch (pMsg->Cmd) {
    case CMD_ID_PLAY_TONE: {
      const auto *pPlay = static_cast<MSG_PLAY_TONE *>(pvMsg);
      const bool bAllowed = s_eToneMode == TONE_MODE_ALL || (s_eToneMode == TONE_MODE_ALARMS_ONLY && pPlay->bAlarmTone);
      if (!bAllowed) break;
      const TONE_BURST *pBurst = pStandardOrCustom(pPlay->StandardToneID, pPlay->pCustomTone);
      if (pBurst != nullptr) {
        vPlay(pBurst);
      } else {
        vStopTune();
      }
      break;
    }
    case CMD_ID_NEW_DATA:
      vHandleNewData(static_cast<MESSAGE_NEW_DATA *>(pvMsg));
      break;
    case CMD_ID_RESET_POS:
      vWriteU32(FCID("STON"), PITCH_NORMAL);
      vWriteU32(FCID("STMD"), TONE_MODE_ALL);
      break;
    case CMD_ID_SHUTDOWN:
      H_TONE_vStopTone();
      break;
    default:
      break;
  }
  H_MEMORY_vDumpMail(pvMsg);
}

U32 u32ReadDefault(FOURCHARID key, U32 u32Default, const ARRAY_OF_STRING_PTRS *pName) {
  DB_DATA_TYPE value{};
  value.u32Val = u32Default;
  const DB_ATTRIBUTES attributes = {D_UNKNOWN, *pName, DB_NO_TIMEOUT};
  H_DATABASE_vReadOrSetDefault(key, &value, P_DEFAULT_SETTING, &attributes);
  return value.u32Val;
}

}  // namespace

U32 T_TONE_u32CalculateToneLength(TONE_SEQUENCE tone_sequence, const TONE_BURST *ptone_burst) {
  const TONE_BURST *pBurst = pStandardOrCustom(tone_sequence, ptone_burst);
  if (pBurst == nullptr) return 0;
  U32 u32One = pBurst->ticksSpaceBetweenBurstDuration;
  for (U32 i = 0; i < u32Pulses(pBurst); ++i) u32One += pBurst->tone[i].ticksToneDuration + pBurst->tone[i].ticksSpaceDuration;
  return static_cast<U32>(pBurst->s32RepeatCount) * u32One;
}

void T_TONE_vInit(void) {
  H_TONE_vInit();
  if (H_DATABASE_bUpdateEverythingU32(FCID("TTON"), M_TONE, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT)) {
    ERROR_error(__FILE__, __LINE__, "Somebody else registered the Tone Task Maibox");
    U_RESET_vReset();
  }
  u32ReadDefault(FCID("STON"), PITCH_NORMAL, &Alarm_Tone);
  u32ReadDefault(FCID("STMD"), TONE_MODE_ALL, &Tone_Mode);
  U32 u32Value = PITCH_NORMAL;
  H_DATABASE_bFetchU32(FCID("STON"), &u32Value, nullptr, nullptr);
  s_eTonePitch = static_cast<TONE_PITCH>(u32Value);
  H_DATABASE_bRegisterForDataWithConditions(FCID("STON"), M_TONE, TRUE, FALSE, FALSE);
  if (H_DATABASE_bFetchU32(FCID("STMD"), &u32Value, nullptr, nullptr)) {
    s_eToneMode = static_cast<TONE_MODE>(u32Value);
  } else {
    s_eToneMode = TONE_MODE_ALL;
    vWriteU32(FCID("STMD"), TONE_MODE_ALL);
  }
  H_DATABASE_bRegisterForDataWithConditions(FCID("STMD"), M_TONE, TRUE, FALSE, FALSE);
  s_bKeyclickOn = TRUE;
  H_DATABASE_bUpdateEverythingBoolean(FCID("CKCK"), TRUE, P_NORMAL, D_UNKNOWN, nullptr, DB_NO_TIMEOUT);
  H_DATABASE_bRegisterForDataWithConditions(FCID("CKCK"), M_TONE, TRUE, FALSE, FALSE);

  static const ARRAY_OF_STRING_PTRS *const kPitches[] = {&High, &Medium, &Low};
  static const U32 kPitchValues[] = {PITCH_HIGH, PITCH_NORMAL, PITCH_LOW};
  U_MENU_bRegisterMainSelectorMenu(&Alarm_Tone, &Alarms, MENU_TONE_FREQUENCY, FCID("STON"), 3, kPitches,
                                   kPitchValues, M_BASIC);
  static const ARRAY_OF_STRING_PTRS *const kModes[] = {&No_Sounds, &Alarms_Only, &All_Sounds};
  static const U32 kModeValues[] = {TONE_MODE_SILENT, TONE_MODE_ALARMS_ONLY, TONE_MODE_ALL};
  U_MENU_bRegisterMainSelectorMenu(&Sound_Control, &Setup, MENU_TONE_MODE, FCID("STMD"), 3, kModes, kModeValues,
                                   M_BASIC);

  s_pclkTimer1 = L_TIMER_Allocate();
  if (s_pclkTimer1 == nullptr) {
    ERROR_error(__FILE__, __LINE__, "Timer Problems");
    U_RESET_vReset();
  }
  if (s_eToneMode == TONE_MODE_ALL) vPlay(&toneStartBurst);
}

void T_TONE_vHandleSema(SEMA sema) {
  const bool bAudible = s_eToneMode != TONE_MODE_SILENT;
  const bool bClicks = s_bKeyclickOn && s_eToneMode == TONE_MODE_ALL;
  switch (sema) {
    case SEMA_MBOX_TONE:
      while (void *pvMsg = L_MBOX_Receive(M_TONE)) vHandleMessage(pvMsg);
      break;
    case SEMA_TIMER_TONE1:
      vEndOfBeep();
      break;
    case SEMA_TIMER_TONE2:
      vEndOfSilence();
      break;
    case SEMA_KEYCLICK_GOOD:
      vPlayIfIdle(&toneKeyClickGood, bClicks);
      break;
    case SEMA_KEYCLICK_BAD:
      vPlayIfIdle(&toneKeyClickBad, bClicks);
      break;
    case SEMA_FISH_ALARM_LARGE:
      vPlayIfIdle(&toneLargeFish, bAudible);
      break;
    case SEMA_FISH_ALARM_MEDIUM:
    case SEMA_FISH_ALARM_SMALL:
      vPlayIfIdle(&toneSmallFish, bAudible);
      break;
    default:
      break;
  }
}

void T_TONE_vMain(void) {
  T_TONE_vInit();
  static const SEMA kWaitList[] = {SEMA_MBOX_TONE,     SEMA_TIMER_TONE1,      SEMA_TIMER_TONE2,
                                   SEMA_KEYCLICK_GOOD, SEMA_KEYCLICK_BAD,     SEMA_FISH_ALARM_LARGE,
                                   SEMA_FISH_ALARM_MEDIUM, SEMA_FISH_ALARM_SMALL, 0};
  for (;;) T_TONE_vHandleSema(L_SEMA_WaitMultiple(kWaitList));
}

void T_TONE_vResetForTest(void) {
  if (s_pclkTimer1 != nullptr) L_TIMER_Release(s_pclkTimer1);
  s_pclkTimer1 = nullptr;
  s_pCurrentBurst = nullptr;
  s_u32PulseSequence = 0;
  s_u32BurstSequence = 0;
}
