// Stand-in of the transducer detection: asks the device directly instead of pinging until the sonar's own
// detection is built. On the desktop the answer is the sonar device model's.
#include "sonar/transducer_standin.h"

#include "kernel/options.h"

#if defined(__arm__) || defined(__aarch64__)
BOOLEAN S_DETECT_bTransducerConnected(void) { return opt_fake_transducer ? FALSE : TRUE; }
#else
#include "platform/host/sonar_model.h"
BOOLEAN S_DETECT_bTransducerConnected(void) {
  if (opt_fake_transducer) return FALSE;
  return HOST_SONAR_bTransducerConnected() ? TRUE : FALSE;
}
#endif
