// The simulator's device table.
#include "platform/devices.h"
#include "platform/host/card_slots.h"
#include "platform/host/serial_pty.h"
#include "platform/host/sonar_model.h"

namespace {

const PLATFORM_SERIAL_OPS s_tSerial = {
    .nOpen = HOST_SERIAL_nOpen,  // $CORVAN_SERIAL<n>, else the channel's own pseudo-terminal
    .nWrite = HOST_SERIAL_nWrite,  // drops what nobody reads, as a wire does
};

const PLATFORM_CARD_OPS s_tCard = {
    .pcHostDir = HOST_CARD_pcHostDir,      // fake sysfs under the device root
    .pcDeviceDir = HOST_CARD_pcDeviceDir,  // stands for /dev; cards appear as files here
    .pcMountDir = HOST_CARD_pcMountDir,    // mount points mmc0, mmc1
    .nMount = HOST_CARD_nMount,            // links the mount point to the slot directory
    .nUmount = HOST_CARD_nUmount,
};

const PLATFORM_SONAR_OPS s_tSonar = {
    .nOpen = HOST_SONAR_nOpen,  // the device model
    .nRead = HOST_SONAR_nRead,
    .nWrite = HOST_SONAR_nWrite,
};

const PLATFORM_DEVICES s_tHost = {&s_tSerial, &s_tCard, &s_tSonar};

}  // namespace

const PLATFORM_DEVICES *PLATFORM_ptHostDevices(void) { return &s_tHost; }
