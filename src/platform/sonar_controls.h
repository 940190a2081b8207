// Receive and transmit selections of the sonar hardware layer: transmit power by depth, receiver element and
// filter per beam, receiver bandwidth.
#pragma once
#include "corvan/types.h"

typedef enum TXPOWER {
  TXPOWER_AUTO = 0,
  TXPOWER_LOW = 1,
  TXPOWER_MED = 2,
  TXPOWER_HI = 3,
} TXPOWER;

TXPOWER H_XMITPOWER_eSelectTransmitPower(float fDepthInMetres);
// Beams 0, 1, 255 down-looking, 2 left, 3 right; any other beam is fatal ("Invalid beam").
void H_RECSELECT_vConnectElementToReceiver(U8 Beam, U32 u32Frequency);
void H_BPF_vSetReceiverCenterFrequency(U8 Beam, U32 u32Frequency);
// Bandwidth settings 0-3; above 3 is fatal ("Invalid bandwidth") when applied.
void DD_MUTE_vRequestBandwidth(U8 u8BandwidthControl);
void DD_MUTE_vSetBandwidth(U8 u8BandwidthControl);
void DD_PING_vRestoreBandwidth(void);
// The bandwidth setting applied last (tests).
U8 DD_MUTE_u8AppliedBandwidth(void);

// Line drivers of the receive path: the coprocessor programs the receiver itself, so they do nothing.
void DD_RECSELECT_vSetupPins(void);
void DD_RECSELECT_vDualBeam(void);
void DD_RECSELECT_vLeftBeam(void);
void DD_RECSELECT_vRightBeam(void);
void DD_RECSELECT_v800KHzBeam(void);
void DD_BPF_vSetupPin(void);
void DD_BPF_vSetHigh(void);
void DD_BPF_vSetLow(void);
