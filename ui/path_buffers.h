// The three texts a conversion works on, filled from the dialog's fields and
// by the path choosers. They live for the whole process.
#pragma once

#include <windows.h>

#include "gather.h"

extern char g_szFolder[MAX_PATH];
extern char g_szFormat[FORMAT_CAPACITY];
extern char g_szOutput[MAX_PATH];
