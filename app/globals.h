#pragma once

// Set when the program was started with "demo" as its first argument.
extern bool g_demoMode;
