// Stand-in declarations of the network address queries until the unit networking is built.
#pragma once
#include "kernel/types.h"

BOOLEAN T_ETHERNET_bIsDynamic(void);
BOOLEAN T_ETHERNET_bIsAddressReady(void);
BOOLEAN T_ETHERNET_vGetIPAddress(char *pcText);
