// Stand-in declarations of the network address queries until the unit networking is built.
#pragma once
#include "corvan/types.h"
#include "net/gmsg_standin.h"

BOOLEAN T_ETHERNET_bIsDynamic(void);
BOOLEAN T_ETHERNET_vGetIPAddress(char *pcText);
