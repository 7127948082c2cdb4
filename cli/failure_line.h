// Why a run gave ERROR, as the command line says it on standard error.
#pragma once

#include <stdio.h>

#include "gather.h"

// Writes one line to pOut: the program's name, what went wrong, the name it
// concerns and the system's own reason where there is one. The notes that
// help most follow: after a missing level file 1, what the folder holds;
// after an output that cannot be created, a folder of it that is not there;
// after a refusal or a failure a player can mend, what to do.
void PrintFailure(FILE* pOut, const GatherRun* pRun);
