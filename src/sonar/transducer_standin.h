// Stand-in declaration of the sonar's transducer detection until the transducer handling is built.
#pragma once
#include "corvan/types.h"

// TRUE when a sonar transducer is connected; FALSE at once with the fake_transducer option.
BOOLEAN S_DETECT_bTransducerConnected(void);
