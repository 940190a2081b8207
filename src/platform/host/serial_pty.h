// Serial channels of the simulator.
#pragma once
#include "corvan/types.h"

// The device table's open: $CORVAN_SERIAL<port> when set, else the channel's own pseudo-terminal.
int HOST_SERIAL_nOpen(U8 u8Port, const char *pcDevice, bool bReadOnly);
// Writes unless the terminal's buffer is full (no tool reads it): then the bytes are dropped, as on a wire
// nobody listens to, and the count is returned all the same.
ssize_t HOST_SERIAL_nWrite(int nFd, const void *pvData, size_t size);
// The path of the link to the slave of the channel's own pseudo-terminal ("" when none was made).
const char *HOST_SERIAL_pcLink(U8 u8Port);
