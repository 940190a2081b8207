#include "platform/sonar_controls.h"

#include "kernel/error.h"
#include "kernel/reset.h"

namespace {

U8 s_u8RequestedBandwidth = 0;
U8 s_u8AppliedBandwidth = 0;

[[noreturn]] void fatal(U32 u32Line, const char *pcText) {
  ERROR_error(__FILE__, u32Line, pcText);
  U_RESET_vReset();
}

}  // namespace

TXPOWER H_XMITPOWER_eSelectTransmitPower(float fDepthInMetres) {
  if (fDepthInMetres < 15.0f) return TXPOWER_LOW;
  if (fDepthInMetres <= 55.0f) return TXPOWER_MED;
  return TXPOWER_HI;
}

void H_RECSELECT_vConnectElementToReceiver(U8 Beam, U32) {
  switch (Beam) {
    case 0:
    case 1:
    case 255: DD_RECSELECT_vDualBeam(); break;
    case 2: DD_RECSELECT_vLeftBeam(); break;
    case 3: DD_RECSELECT_vRightBeam(); break;
    default: fatal(__LINE__, "Invalid beam");
  }
}

void H_BPF_vSetReceiverCenterFrequency(U8 Beam, U32) {
  switch (Beam) {
    case 0: DD_BPF_vSetHigh(); break;
    case 1:
    case 2:
    case 3:
    case 255: DD_BPF_vSetLow(); break;
    default: fatal(__LINE__, "Invalid beam");
  }
}

void DD_MUTE_vRequestBandwidth(U8 u8BandwidthControl) { s_u8RequestedBandwidth = u8BandwidthControl; }

void DD_MUTE_vSetBandwidth(U8 u8BandwidthControl) {
  if (u8BandwidthControl > 3) fatal(__LINE__, "Invalid bandwidth");
  s_u8AppliedBandwidth = u8BandwidthControl;
}

void DD_PING_vRestoreBandwidth(void) { DD_MUTE_vSetBandwidth(s_u8RequestedBandwidth); }

U8 DD_MUTE_u8AppliedBandwidth(void) { return s_u8AppliedBandwidth; }

void DD_RECSELECT_vSetupPins(void) {}
void DD_RECSELECT_vDualBeam(void) {}
void DD_RECSELECT_vLeftBeam(void) {}
void DD_RECSELECT_vRightBeam(void) {}
void DD_RECSELECT_v800KHzBeam(void) {}
void DD_BPF_vSetupPin(void) {}
void DD_BPF_vSetHigh(void) {}
void DD_BPF_vSetLow(void) {}
