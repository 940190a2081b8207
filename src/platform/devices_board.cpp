// The board: the real device nodes, sysfs and mount.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "platform/devices.h"

namespace {

int openSerial(U8, const char *pcDevice, bool bReadOnly) {
  return open(pcDevice, (bReadOnly ? O_RDONLY : O_RDWR) | O_NOCTTY);
}

const char *hostDir(void) { return "/sys/class/mmc_host"; }
const char *deviceDir(void) { return "/dev"; }
const char *mountDir(void) { return "/mnt"; }

int mountCard(const char *pcSource, const char *pcTarget, const char *pcType, unsigned long ulFlags,
              const char *pcOptions) {
  return mount(pcSource, pcTarget, pcType, ulFlags, pcOptions);
}

int umountCard(const char *pcTarget) { return umount(pcTarget); }

int openSonar(void) { return open("/dev/sonar0", O_RDWR); }

const PLATFORM_SERIAL_OPS s_tSerial = {
    .nOpen = openSerial,  // /dev/ttyS0, /dev/ttyS1, /dev/ttySC0, /dev/ttySC1
    .nWrite = write,      // waits while the driver's output queue is full
};

const PLATFORM_CARD_OPS s_tCard = {
    .pcHostDir = hostDir,      // the kernel's MMC hosts
    .pcDeviceDir = deviceDir,  // udev creates mmcblkN / mmcblkNp1 here
    .pcMountDir = mountDir,    // /mnt/mmc0, /mnt/mmc1
    .nMount = mountCard,       // FAT through the kernel
    .nUmount = umountCard,
};

const PLATFORM_SONAR_OPS s_tSonar = {
    .nOpen = openSonar,  // the coprocessor's character device
    .nRead = read,       // one receive block per read
    .nWrite = write,     // one transmit block per write
};

const PLATFORM_DEVICES s_tBoard = {&s_tSerial, &s_tCard, &s_tSonar};

}  // namespace

const PLATFORM_DEVICES *PLATFORM_ptBoardDevices(void) { return &s_tBoard; }
