// What the command line says about a failed run.
#pragma once

#include <stdio.h>

#include "gather.h"

// Writes one line to pOut: the program's name, what went wrong, the name it
// concerns and the system's own reason where there is one.
void PrintFailure(FILE* pOut, const GatherFailureInfo* pInfo);
