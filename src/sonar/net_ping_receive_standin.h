// Stand-in of the network sonar receiver's calls from the ping task, until the receiver is written.
#pragma once
#include "corvan/types.h"

// The unit id chosen for source n (the receiver keeps its own copy).
void T_NET_PING_RECEIVE_vUpdateSonarSource(U32 u32SonarSource, U16 u16SourceType);
