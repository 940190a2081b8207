// The tone task (task 18, mailbox 18): tunes on the beeper, one at a time.
#pragma once
#include "kernel/mbox.h"

typedef struct {
  float fHigh;
  float fNormal;
  float fLow;
} TONE_FREQUENCY;

typedef struct {
  TONE_FREQUENCY sFreq;
  TICKS ticksToneDuration;
  TICKS ticksSpaceDuration;
} TONE_PULSE;

typedef struct {
  U32 u32NumPulses;  // at most 5
  S32 s32RepeatCount;  // -1: without end
  TONE_PULSE tone[5];
  TICKS ticksSpaceBetweenBurstDuration;
} TONE_BURST;

enum TONE_SEQUENCE : U32 {
  TONE_USE_CUSTOM = 0,
  TONE_TEST = 1,
  TONE_START = 2,
  TONE_KEYCLICK_GOOD = 3,
  TONE_KEYCLICK_BAD = 4,
  TONE_LARGE_FISH = 5,
  TONE_MEDIUM_FISH = 6,
  TONE_SMALL_FISH = 7,
  TONE_GENERAL_ALERT = 8,
  TONE_ALARM_ALERT = 9,
  NUM_STANDARD_TONES = 10,
};

enum TONE_PITCH : U32 { PITCH_HIGH = 1, PITCH_NORMAL = 2, PITCH_LOW = 3 };
enum TONE_MODE : U32 { TONE_MODE_SILENT = 0, TONE_MODE_ALARMS_ONLY = 1, TONE_MODE_ALL = 2 };

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_PLAY_TONE
  U32 u32Priority;
  TONE_SEQUENCE StandardToneID;
  const TONE_BURST *pCustomTone;  // must stay valid while it plays
  BOOLEAN bAlarmTone;
} MSG_PLAY_TONE;

void T_TONE_vMain(void);
// Playing time in ms of a standard tune, or of the custom tune (0 when there is none).
U32 T_TONE_u32CalculateToneLength(TONE_SEQUENCE tone_sequence, const TONE_BURST *ptone_burst);

// The parts of the task's loop, on the calling thread (the task entry and the tests use them).
void T_TONE_vInit(void);
// One fired semaphore of the wait list; for the mailbox's, every waiting message is handled and released.
void T_TONE_vHandleSema(SEMA sema);
// Tests: forgets the tune playing and releases the timer.
void T_TONE_vResetForTest(void);
