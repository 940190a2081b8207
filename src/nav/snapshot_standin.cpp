// Stand-in of the navigation task's snapshot preview: no preview is ever shown yet.
#include "nav/snapshot_standin.h"

void T_NAV_vUnRegisterSnapshotPreviewLayer(void) {}
