// The ping task: the pool of ping descriptors on Q_PING, the ping decision on every return of a descriptor,
// the down-looking and null pings, the system-state handling and its settings.
#pragma once
#include "corvan/types.h"
#include "settings/database.h"
#include "sonar/ping_descriptor.h"
#include "sonar/transducer.h"
#include "ui/startup/startup_state.h"

typedef enum {
  NETWORK_SONAR_PROCESS = 0,
  NETWORK_SONAR_PROCESS_BLANK = 1,
  NETWORK_SONAR_PROCESS_3D = 2,
} networkSonarProcessType;

void T_N_PING_vMain(void);

// Routes a ping: drops it or hands it to processing (mailbox 9) or the 3-D processing (mailbox 35).
void X_pingDataDirector(NET_SOURCE_TYPE eNetSourceType, BOOLEAN isRecordPlayback, networkSonarProcessType processType,
                        int blankPing, PING_DESCRIPTOR *pReturn1, PING_DESCRIPTOR *pReturn2, PING_DESCRIPTOR *pReturn3);
// A PING_MESSAGE with the descriptor to processing (mailbox 9).
void T_N_PING_vSendToProcessing(PING_DESCRIPTOR *pPing);
// The source a ping belongs to: beams 0 and 1 the 2-D source, 2 and 3 the side-looking imaging source.
NET_SOURCE_TYPE T_N_PING_eSourceForBeam(BEAM Beam);

// Puts a descriptor back into the pool; a full queue is fatal (pcFatalText).
void T_N_PING_vReturnDescriptor(PING_DESCRIPTOR *pPing, const char *pcFatalText);

// Whether the system pings in this state (and playback mode in state 11).
BOOLEAN T_N_PING_bShouldSystemPing(SYSTEM_STATE eState, U32 u32PlaybackMode);
// Applies a new system state (callers hold RES_SONAR_SHARE).
void T_N_PING_vUpdateSystemState(SYSTEM_STATE eState);

// Settings registration at start (FALSE) and on a factory reset (TRUE).
void T_N_PING_vRegisterDatabaseItems(BOOLEAN bForceFactoryDefaults);
// The reaction to a change notice of a key the ping task registered for.
void T_N_PING_vHandleNewData(FOURCHARID Id, DB_DATA_TYPE dbValue, BOOLEAN bValid);

// Tests: build the pool (queue 9, semaphore 126) as the task does at start, and one ping decision as the task
// makes it on semaphore 126.
void T_N_PING_vCreatePoolForTest(void);
void T_N_PING_vPingDecisionForTest(void);
// Tests: the task's state back to its start.
void T_N_PING_vResetForTest(void);
// The pool's descriptor i (0-20).
PING_DESCRIPTOR *T_N_PING_pPoolDescriptor(U32 u32Index);
// Whether the director zeroes the samples (a unit whose sonar is unused sends empty pings).
BOOLEAN T_N_PING_bZeroPingData(void);
// 'SSEN' as the ping task last saw it.
BOOLEAN T_N_PING_bSonarEnabled(void);
// Keeps the beam selection and side-looking frequency legal for a transducer kind.
void T_N_PING_vLegaliseForTransducer(U32 u32Kind);
void T_N_PING_vPerformNullPing(void);
// Tests: the task's flags as the system state and settings would set them.
void T_N_PING_vSetStateForTest(BOOLEAN bSystemPinging, BOOLEAN bSimulateCoprocessor, U32 u32Transducer,
                               BOOLEAN bRecording, U32 u32MaxPingsPerSecond);
