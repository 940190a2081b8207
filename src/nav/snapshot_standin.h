// Stand-in declaration of the navigation task's snapshot preview, until the navigation task exists.
#pragma once

// Removes the snapshot preview layer when it is shown.
void T_NAV_vUnRegisterSnapshotPreviewLayer(void);
