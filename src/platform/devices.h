// Device seam: what differs between the board and the desktop simulator for the serial channels, the card
// slots and the sonar coprocessor. Both tables are built; the target chooses (devices_select.cpp).
#pragma once
#include <sys/types.h>

#include "corvan/types.h"

typedef struct PLATFORM_SERIAL_OPS {
  // Opens the channel's device (pcDevice is the board's path) raw and without controlling terminal;
  // a descriptor, or -1 with errno set.
  int (*nOpen)(U8 u8Port, const char *pcDevice, bool bReadOnly);
  // Sends one byte: as write(2).
  ssize_t (*nWrite)(int nFd, const void *pvData, size_t size);
} PLATFORM_SERIAL_OPS;

typedef struct PLATFORM_CARD_OPS {
  // The directory of the MMC hosts in sysfs ("/sys/class/mmc_host" on the board).
  const char *(*pcHostDir)(void);
  // The directory where block devices appear and vanish ("/dev").
  const char *(*pcDeviceDir)(void);
  // The directory holding the slots' mount points ("/mnt").
  const char *(*pcMountDir)(void);
  // mount(2) and umount(2): 0, or -1 with errno set.
  int (*nMount)(const char *pcSource, const char *pcTarget, const char *pcType, unsigned long ulFlags,
                const char *pcOptions);
  int (*nUmount)(const char *pcTarget);
} PLATFORM_CARD_OPS;

typedef struct PLATFORM_SONAR_OPS {
  // Opens the coprocessor read-write: a descriptor, or -1 with errno set.
  int (*nOpen)(void);
  // One transfer each way, as read(2) and write(2) on the device.
  ssize_t (*nRead)(int nFd, void *pvData, size_t size);
  ssize_t (*nWrite)(int nFd, const void *pvData, size_t size);
} PLATFORM_SONAR_OPS;

typedef struct PLATFORM_DEVICES {
  const PLATFORM_SERIAL_OPS *ptSerial;
  const PLATFORM_CARD_OPS *ptCard;
  const PLATFORM_SONAR_OPS *ptSonar;
} PLATFORM_DEVICES;

const PLATFORM_DEVICES *PLATFORM_ptBoardDevices(void);  // devices_board.cpp
const PLATFORM_DEVICES *PLATFORM_ptHostDevices(void);   // host/devices_host.cpp

// The tables of this build.
const PLATFORM_SERIAL_OPS *PLATFORM_ptSerial(void);
const PLATFORM_CARD_OPS *PLATFORM_ptCard(void);
const PLATFORM_SONAR_OPS *PLATFORM_ptSonar(void);
