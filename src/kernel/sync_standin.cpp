// Stand-in file-sync thread start; replaced by the file wrappers and their sync thread.
void LS_sync_vInit(void) {}
