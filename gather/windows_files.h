// What the gathering takes from <windows.h>: files and code pages. The window
// system stays out.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define NOUSER
#define NOGDI
#include <windows.h>
