// The notes the command line writes on standard error after a run, one line
// each: what the run left out, formats that would gather a series the
// folder holds, a folder that is not there, what a Sokoban program will see.
#pragma once

#include <stdio.h>

#include "gather.h"

// After a missing level file 1: a name the code page could not spell; a
// folder that is not there, and a format that repeats the folder's name;
// else an empty folder, the files of the series that are there, and formats
// that would gather a series the folder holds, the one meant first.
void PrintFirstLevelNotes(FILE* pOut, const GatherRun* pRun);

// A note when the system's code page could not spell a character of the
// name (Windows); nothing elsewhere. True when it said so.
bool PrintUnspellable(FILE* pOut, const char* pszName);

// A note when the folder a run recorded (of the file concerned) does not
// exist or is no folder; nothing for "", the working folder. True when it
// said so.
bool PrintMissingFolder(FILE* pOut, const char* pszFolder);

// After a run that gathered: a note when files of the series follow the
// number that ended it, which were left out, and when its level file 0
// exists. Nothing otherwise.
void PrintSeriesEnd(FILE* pOut, const GatherRun* pRun);

// After a run that gathered: reads the collection
// back as a Sokoban program splits it. Where a Ctrl+Z ended a level file
// before its end (Windows), a note that says what was left out. For each
// level file whose board a
// program will not read whole, a note that says what it will miss and why;
// when the collection holds another number of boards than the files
// gathered, a note that says so and names level files that hold no board or
// several. Nothing otherwise.
void PrintBoardCount(FILE* pOut, const GatherRun* pRun);
