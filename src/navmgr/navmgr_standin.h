// Stand-in declaration of the navigation data manager's close call, until the manager is written; the real
// header replaces this one.
#pragma once

// Closes the full-screen manager when it is open.
void T_NAV_GROUP_vShutdown(void);
