// Stand-in of the autopilot link's motor requests: the request goes to the autopilot task's mailbox, whose
// stand-in releases it, until the autopilot link is built.
#include "autopilot/vantrel_motor_standin.h"

#include "kernel/memory.h"

namespace {
void post(U32 u32Request) {
  auto *pMsg = static_cast<MSG_VANTREL_REQUEST *>(H_MEMORY_pvCalloc(1, sizeof(MSG_VANTREL_REQUEST)));
  pMsg->header.Cmd = CMD_ID_VANTREL;
  pMsg->u32Request = u32Request;
  L_MBOX_Send(M_VANTREL, pMsg, NORMAL_PRIORITY, 0);
}
}  // namespace

void U_VANTREL_vStowMotor(void) { post(VN_CMD_STOW_MOTOR); }
void U_VANTREL_vDeployMotor(void) { post(VN_CMD_DEPLOY_MOTOR); }
void U_VANTREL_vPauseMotor(void) { post(VN_CMD_PAUSE_STOWDEPLOY); }
