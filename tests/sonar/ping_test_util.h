// Shared start of the ping task tests: the sonar model and the ping task as at start, the pool built again.
#pragma once
#include "platform/coproc.h"
#include "platform/host/sonar_model.h"
#include "sonar/ping_task.h"

inline void PING_TEST_vFreshPingTask() {
  HOST_SONAR_vReset();
  HOST_SONAR_vSetPacing(false);
  H_COPROC_vInitialize();
  T_N_PING_vResetForTest();
  T_N_PING_vCreatePoolForTest();
}
