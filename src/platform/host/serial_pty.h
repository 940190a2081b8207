// Serial channels of the simulator.
#pragma once
#include "corvan/types.h"

// The device table's open: $CORVAN_SERIAL<port> when set, else the channel's own pseudo-terminal.
int HOST_SERIAL_nOpen(U8 u8Port, const char *pcDevice, bool bReadOnly);
// The path of the link to the slave of the channel's own pseudo-terminal ("" when none was made).
const char *HOST_SERIAL_pcLink(U8 u8Port);
