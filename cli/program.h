// The name every line on standard error starts with.
#pragma once

#define PROGRAM_NAME "brenvik-gather"
