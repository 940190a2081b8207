#include "platform/ppi_motor.h"

#include "settings/database.h"
#include "kernel/mutex.h"
#include "platform/idle.h"

namespace {

constexpr S32 kStepsPerTurn = 1600;
constexpr S32 kHomePosition = 1200;

S32 s_s32CurrentPPIPosition = 0;
BOOLEAN s_bClockwise = TRUE;
BOOLEAN s_bSweeping = FALSE;
BOOLEAN s_bInitialised = FALSE;
BOOLEAN s_bSweepArea = FALSE;
S32 s_s32SweepStart = -1800;
S32 s_s32SweepRange = 0;
U32 s_u32StepFactor = 16;

// Recursive: the operations call each other with the lock held.
class Lock {
 public:
  Lock() : m_erc(L_MUTEX_LockWait(RES_PPI_MOTOR)) {}
  ~Lock() {
    if (m_erc == 0) L_MUTEX_Unlock(RES_PPI_MOTOR);
  }
  Lock(const Lock &) = delete;
  Lock &operator=(const Lock &) = delete;

 private:
  ERC m_erc;
};

S32 wrap(S64 s64Position) {
  S64 s64 = s64Position % kStepsPerTurn;
  if (s64 < 0) s64 += kStepsPerTurn;
  return static_cast<S32>(s64);
}

}  // namespace

void H_PPI_MOTOR_vInitialize(void) {
  Lock lock;
  U32 u32Value = 0;
  H_DATABASE_bFetchU32(FCID("SSPA"), &u32Value, nullptr, nullptr);  // read, not used by this head
  if (H_DATABASE_bFetchU32(FCID("YSPS"), &u32Value, nullptr, nullptr)) s_u32StepFactor = u32Value;
  s_u32StepFactor = DD_PPI_MOTOR_vSetupSteps(s_u32StepFactor);
  DD_PPI_MOTOR_vInitialize();
  s_bClockwise = TRUE;
  s_s32CurrentPPIPosition = kHomePosition;
  s_bInitialised = TRUE;
}

void H_PPI_MOTOR_vMoveToSidePosition(void) {
  Lock lock;
  DD_PPI_MOTOR_vGoToHome();
  H_PPI_MOTOR_vInitialize();
}

void H_PPI_MOTOR_vReturnFullSweep(void) {
  Lock lock;
  s_s32SweepStart = -1800;
  s_s32SweepRange = 0;
  s_bSweepArea = FALSE;
  H_PPI_MOTOR_vInitialize();
}

void H_PPI_MOTOR_vSetSweepArea(S32 s32StartSweep, S32 s32SweepRange) {
  Lock lock;
  s_s32SweepStart = s32StartSweep;
  s_s32SweepRange = s32SweepRange;
  s_s32CurrentPPIPosition = wrap(s32StartSweep);
  s_bSweepArea = TRUE;
  s_bClockwise = FALSE;
}

void H_PPI_MOTOR_vSweepAreaStart(void) {
  Lock lock;
  s_bClockwise = s_bClockwise ? FALSE : TRUE;
}

void H_PPI_MOTOR_vTurningDirection(BOOLEAN bClockwise) {
  Lock lock;
  s_bClockwise = bClockwise;
}

BOOLEAN H_PPI_MOTOR_bIsTurningClockwise(void) {
  Lock lock;
  return s_bClockwise;
}

void H_PPI_MOTOR_vStartSweeping(BOOLEAN bSweeping) {
  Lock lock;
  s_bSweeping = bSweeping;
}

void H_PPI_MOTOR_vSetPositionAndLimit(S32, S32) {}

S32 H_PPI_MOTOR_s32Step(S32 s32Steps, BOOLEAN *pbClockwise) {
  Lock lock;
  if (!s_bSweeping) return s_s32CurrentPPIPosition;
  if (!s_bInitialised) H_PPI_MOTOR_vInitialize();
  // One line step per unit of the step factor; the line driver paces nothing on this board.
  for (U32 i = 0; i < s_u32StepFactor; ++i) DD_PPI_MOTOR_vStep(s_bClockwise);
  const S64 s64Delta = s_bClockwise ? static_cast<S64>(s32Steps) : -static_cast<S64>(s32Steps);
  s_s32CurrentPPIPosition = wrap(s_s32CurrentPPIPosition + s64Delta);
  if (pbClockwise != nullptr) *pbClockwise = s_bClockwise;
  return s_s32CurrentPPIPosition;
}
