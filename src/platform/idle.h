// Driver entries that do nothing on this board: the Linux kernel owns the hardware they once drove, and their
// callers keep working without them. The receive-path line drivers are with the sonar controls.
#pragma once
#include "corvan/types.h"

// Accessory power.
void DD_ACCPOWER_vPowerOn(void);
void DD_ACCPOWER_vPowerOff(void);
void H_ACCPOWER_vPowerOn(void);
void H_ACCPOWER_vPowerOff(void);

// Analogue converter: the readings come from the sonar coprocessor.
void DD_ADC_vStartConversion(U8 u8Channel);
U16 DD_ADC_u16Read(void);
void DD_ADC_vPrepareForDMA(void);
void DD_ADC_vWaitForConversionReady(void);
// A conversion that nothing completes on this board: waits a bounded time and reads 0.
U16 H_ADC_u16Read(U8 u8Channel);

// Cache.
enum : U32 { SONAR_AREA = 1, ASSIGNABLE_AREA = 2 };
void DD_CACHE_vSetNonCacheableArea0(U32 u32Start, U32 u32End);
void DD_CACHE_vSetNonCacheableArea1(U32 u32Start, U32 u32End);
void DD_CACHE_vResetNonCacheableArea0(void);
void DD_CACHE_vResetNonCacheableArea1(void);
void DD_CACHE_vFlush(void);
void DD_CACHE_vEnable(void);
void DD_CACHE_vDisable(void);
void H_CACHE_vEnable(void);
void H_CACHE_vFlush(void);
void H_CACHE_vSetNonCacheableArea(U32 u32Area, U32 u32Start, U32 u32Size);
void H_CACHE_vReinstateCacheableArea(U32 u32Area);

// Interrupts.
void DD_ISR_vInit(void);
void DD_ISR_vClearAllpendingInterrupts(void);
void DD_ISR_vClearPendingEINTs(U32 u32Mask);
void DD_ISR_vEnableInterrupt(U32 u32Interrupt);
void DD_ISR_vEnableSubInterrupt(U32 u32Interrupt);
void DD_ISR_vEnableExtInterrupt(U32 u32Interrupt);
void DD_ISR_vDisableInterrupt(U32 u32Interrupt);
void DD_ISR_vDisableSubInterrupt(U32 u32Interrupt);
void DD_ISR_vDisableExtInterrupt(U32 u32Interrupt);
void DD_ISR_vMakeFIQ(U32 u32Interrupt);
void DD_ISR_vMakeIRQ(U32 u32Interrupt);
void DD_ISR_vSetInterruptVector(U32 u32Interrupt, void (*pfnHandler)(void));
void DD_ISR_vSetSubInterruptVector(U32 u32Interrupt, void (*pfnHandler)(void));
void DD_ISR_vSetExtInterruptVector(U32 u32Interrupt, void (*pfnHandler)(void));
void DD_ISR_vFIQMasterEnable(void);
void DD_ISR_vFIQMasterDisable(void);

// Low-power mode.
void DD_LPM_vClearLPM(void);
void DD_LPM_vSetLPM(void);
void DD_LPM_vHighImpedanceLPM(void);

// Mute pin.
void DD_MUTE_vSetupPin(void);

// Imaging-head motor line.
void DD_PPI_MOTOR_vInitialize(void);
void DD_PPI_MOTOR_vStep(BOOLEAN bClockwise);
void DD_PPI_MOTOR_vGoToHome(void);
void DD_PPI_MOTOR_vStartMSSISwitchControl(void);
void DD_PPI_MOTOR_vSetEN(BOOLEAN bEnable);
U32 DD_PPI_MOTOR_vSetupSteps(U32 u32StepFactor);

// Pulse-width outputs.
void DD_PWM_vInitPrescalers(void);
void DD_PWM_vInitTimer0_1(void);
void DD_PWM_vInitTimer2_3_4(void);
void DD_PWM_vInitDeadZone(void);
void DD_PWM_vSetupPWM0(void);
void DD_PWM_vSetupPWM1(void);
void DD_PWM_vSetupPWM2(void);
void DD_PWM_vSetupPWM3(void);
void DD_PWM_vStopPWM0(void);
void DD_PWM_vStopPWM1(void);
void DD_PWM_vStopPWM2(void);
void DD_PWM_vStopPWM3(void);
void DD_PWM_vMaxPWM0(void);
void DD_PWM_vMaxPWM1(void);
void DD_PWM_vMaxPWM2(void);
void DD_PWM_vMaxPWM3(void);
void DD_PWM_vMinPWM0(void);
void DD_PWM_vMinPWM1(void);
void DD_PWM_vMinPWM2(void);
void DD_PWM_vMinPWM3(void);
void DD_PWM_bSpecifyPWM0(U32 u32Frequency, U32 u32DutyCycle);
void DD_PWM_bSpecifyPWM1(U32 u32Frequency, U32 u32DutyCycle);
void DD_PWM_bSpecifyPWM2(U32 u32Frequency, U32 u32DutyCycle);
void DD_PWM_bSpecifyPWM3(U32 u32Frequency, U32 u32DutyCycle);
void DD_PWM_vCalculateCounts(U32 u32Frequency, U32 u32DutyCycle);
void H_PWRDRIVE_vInit(void);
void H_PWRDRIVE_vSetup(void);

// Memory management.
void H_MMU_vInit(void);
void H_MMU_vSetMTT(void);
void H_MMU_vDisableAll(void);
// An ordinary heap block of that size (free with H_MEMORY_vFree).
U32 *H_MMU_pu32AllocateNonCachedArea(U32 u32Size);

// Block transfer.
void H_BDMA1_vSetupSourceAndDestination(const void *pvSource, void *pvDestination, U32 u32Count);
