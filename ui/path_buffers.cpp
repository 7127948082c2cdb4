#include "path_buffers.h"

char g_szFolder[MAX_PATH];
char g_szFormat[FORMAT_CAPACITY];
char g_szOutput[MAX_PATH];
