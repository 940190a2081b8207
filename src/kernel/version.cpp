#include "kernel/types.h"
