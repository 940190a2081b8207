#include "platform/idle.h"

#include "kernel/memory.h"
#include "kernel/sema.h"

void DD_ACCPOWER_vPowerOn(void) {}
void DD_ACCPOWER_vPowerOff(void) {}
void H_ACCPOWER_vPowerOn(void) { DD_ACCPOWER_vPowerOn(); }
void H_ACCPOWER_vPowerOff(void) { DD_ACCPOWER_vPowerOff(); }

void DD_ADC_vStartConversion(U8) {}
U16 DD_ADC_u16Read(void) { return 0; }
void DD_ADC_vPrepareForDMA(void) {}
void DD_ADC_vWaitForConversionReady(void) {}

U16 H_ADC_u16Read(U8 u8Channel) {
  DD_ISR_vEnableInterrupt(0);
  DD_ADC_vStartConversion(u8Channel);
  // Nothing signals the completion here: a short bounded wait instead of hanging the caller.
  L_SEMA_WaitTicks(SEMA_ADC_COMPLETE, 10);
  const U16 u16Value = DD_ADC_u16Read();
  DD_ISR_vDisableInterrupt(0);
  return u16Value;
}

void DD_CACHE_vSetNonCacheableArea0(U32, U32) {}
void DD_CACHE_vSetNonCacheableArea1(U32, U32) {}
void DD_CACHE_vResetNonCacheableArea0(void) {}
void DD_CACHE_vResetNonCacheableArea1(void) {}
void DD_CACHE_vFlush(void) {}
void DD_CACHE_vEnable(void) {}
void DD_CACHE_vDisable(void) {}
void H_CACHE_vEnable(void) {}
void H_CACHE_vFlush(void) { DD_CACHE_vFlush(); }

void H_CACHE_vSetNonCacheableArea(U32 u32Area, U32 u32Start, U32 u32Size) {
  if (u32Area == SONAR_AREA) DD_CACHE_vSetNonCacheableArea0(u32Start, u32Start + u32Size - 1);
  if (u32Area == ASSIGNABLE_AREA) DD_CACHE_vSetNonCacheableArea1(u32Start, u32Start + u32Size - 1);
}

void H_CACHE_vReinstateCacheableArea(U32 u32Area) {
  if (u32Area == SONAR_AREA) DD_CACHE_vResetNonCacheableArea0();
  if (u32Area == ASSIGNABLE_AREA) DD_CACHE_vResetNonCacheableArea1();
}

void DD_ISR_vInit(void) {}
void DD_ISR_vClearAllpendingInterrupts(void) {}
void DD_ISR_vClearPendingEINTs(U32) {}
void DD_ISR_vEnableInterrupt(U32) {}
void DD_ISR_vEnableSubInterrupt(U32) {}
void DD_ISR_vEnableExtInterrupt(U32) {}
void DD_ISR_vDisableInterrupt(U32) {}
void DD_ISR_vDisableSubInterrupt(U32) {}
void DD_ISR_vDisableExtInterrupt(U32) {}
void DD_ISR_vMakeFIQ(U32) {}
void DD_ISR_vMakeIRQ(U32) {}
void DD_ISR_vSetInterruptVector(U32, void (*)(void)) {}
void DD_ISR_vSetSubInterruptVector(U32, void (*)(void)) {}
void DD_ISR_vSetExtInterruptVector(U32, void (*)(void)) {}
void DD_ISR_vFIQMasterEnable(void) {}
void DD_ISR_vFIQMasterDisable(void) {}

void DD_LPM_vClearLPM(void) {}
void DD_LPM_vSetLPM(void) {}
void DD_LPM_vHighImpedanceLPM(void) {}

void DD_MUTE_vSetupPin(void) {}

void DD_PPI_MOTOR_vInitialize(void) {}
void DD_PPI_MOTOR_vStep(BOOLEAN) {}
void DD_PPI_MOTOR_vGoToHome(void) {}
void DD_PPI_MOTOR_vStartMSSISwitchControl(void) {}
void DD_PPI_MOTOR_vSetEN(BOOLEAN) {}
U32 DD_PPI_MOTOR_vSetupSteps(U32 u32StepFactor) { return u32StepFactor; }

void DD_PWM_vInitPrescalers(void) {}
void DD_PWM_vInitTimer0_1(void) {}
void DD_PWM_vInitTimer2_3_4(void) {}
void DD_PWM_vInitDeadZone(void) {}
void DD_PWM_vSetupPWM0(void) {}
void DD_PWM_vSetupPWM1(void) {}
void DD_PWM_vSetupPWM2(void) {}
void DD_PWM_vSetupPWM3(void) {}
void DD_PWM_vStopPWM0(void) {}
void DD_PWM_vStopPWM1(void) {}
void DD_PWM_vStopPWM2(void) {}
void DD_PWM_vStopPWM3(void) {}
void DD_PWM_vMaxPWM0(void) {}
void DD_PWM_vMaxPWM1(void) {}
void DD_PWM_vMaxPWM2(void) {}
void DD_PWM_vMaxPWM3(void) {}
void DD_PWM_vMinPWM0(void) {}
void DD_PWM_vMinPWM1(void) {}
void DD_PWM_vMinPWM2(void) {}
void DD_PWM_vMinPWM3(void) {}
void DD_PWM_bSpecifyPWM0(U32, U32) {}
void DD_PWM_bSpecifyPWM1(U32, U32) {}
void DD_PWM_bSpecifyPWM2(U32, U32) {}
void DD_PWM_bSpecifyPWM3(U32, U32) {}
void DD_PWM_vCalculateCounts(U32, U32) {}
void H_PWRDRIVE_vInit(void) { DD_PWM_vInitPrescalers(); }
void H_PWRDRIVE_vSetup(void) {}

void H_MMU_vInit(void) {}
void H_MMU_vSetMTT(void) {}
void H_MMU_vDisableAll(void) {}
U32 *H_MMU_pu32AllocateNonCachedArea(U32 u32Size) { return static_cast<U32 *>(H_MEMORY_pvMalloc(u32Size)); }

void H_BDMA1_vSetupSourceAndDestination(const void *, void *, U32) {}
