// What the ping task decides before each ping: how deep to ping and to listen, the transmit cycles, the
// receive bandwidth and the transmit power of each beam.
#pragma once
#include "corvan/types.h"
#include "settings/database.h"
#include "sonar/coproc_tx.h"

// Returns the depth to ping and stores the depth to listen (metres). Reads 'IDEP' and 'CSLD', updates the
// shared depth, depth-known count and deep-water mode, and moves on the listening factor and search throttle.
float fLocalFindDepthToPing(float *pfDepthToListen);
// The speed argument is not used. Beam 4 and above is fatal ("Invalid beam").
U8 S_TXCYCLES_u8CalculateTxCycles(BEAM Beam, float fDepthInMetres, float fSpeedInMPH, U32 u32Transducer);
// The bandwidth code 1-3, or a non-zero override 'SSW1'-'SSW3'.
U8 u8FetchBandwidth(BEAM Beam);
// TRUE when a lower-range setting (metres) means automatic range in these units.
BOOLEAN T_N_PING_bAutoDepthRange(float fLowerDepthSetting, UNIT_TYPE DepthUnits);
// MED for every beam in burn-in; else 'SSTP', whose automatic value picks by depth for the down beams and HI
// for the side beams.
TXPOWER T_N_PING_eSelectTxPower(BEAM Beam, float fDepthToPing);

// The ping task's copies of its settings: 'SSMD' (metres, 0 none), 'SUDP', 'STVG' and the automatic range
// of 'YSLD'. Start values 0, feet, FALSE and TRUE.
void T_N_PING_vSetMaximumDepthToPing(double dMetres);
double T_N_PING_dGetMaximumDepthToPing(void);
void T_N_PING_vSetDepthUnits(UNIT_TYPE eUnits);
void T_N_PING_vSetSelectTvgView(BOOLEAN bSelect);
void T_N_PING_vSetAutoDepthRange(BOOLEAN bAuto);
BOOLEAN T_N_PING_bGetAutoDepthRange(void);

// Tests: the listening factor, search throttle and invalid-depth count back to their start.
void T_N_PING_vResetDepthPlanForTest(void);
