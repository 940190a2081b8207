// Stand-in declarations of the autopilot link's motor requests until the autopilot link is built.
#pragma once
#include "kernel/mbox.h"

enum : U32 { VN_CMD_STOW_MOTOR = 56, VN_CMD_DEPLOY_MOTOR = 57, VN_CMD_PAUSE_STOWDEPLOY = 58 };

typedef struct {
  GENERIC_MESSAGE header;  // CMD_ID_VANTREL
  U32 u32Request;
} MSG_VANTREL_REQUEST;

void U_VANTREL_vStowMotor(void);
void U_VANTREL_vDeployMotor(void);
void U_VANTREL_vPauseMotor(void);
