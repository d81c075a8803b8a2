#include "app/globals.h"

bool g_demoMode = false;
