#include "nmea/task_post.h"

BOOLEAN NMEA_bPostToTask(FOURCHARID key, void *pvMsg) {
  MBOX mbox = 0;
  if (!H_DATABASE_bFetchMailbox(key, &mbox)) {
    H_MEMORY_vFree(pvMsg);
    return FALSE;
  }
  L_MBOX_Send(mbox, pvMsg, NORMAL_PRIORITY, 0);
  return TRUE;
}
