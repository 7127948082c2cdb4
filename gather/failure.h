// Why a run gave ERROR: one kind for each thing a front end may word.
#pragma once

enum GatherFailure {
    GATHER_OK,                 // no failure (the run gathered)
    GATHER_EMPTY_FOLDER,       // a text is empty
    GATHER_EMPTY_FORMAT,
    GATHER_EMPTY_OUTPUT,
    GATHER_FOLDER_TOO_LONG,    // a text longer than its buffer
    GATHER_FORMAT_TOO_LONG,
    GATHER_OUTPUT_TOO_LONG,
    GATHER_PATTERN_TOO_LONG,   // folder and format joined are longer than a path
    GATHER_NO_CONVERSION,      // the format: no integer conversion
    GATHER_SEVERAL_CONVERSIONS,  // more than one
    GATHER_UNSUPPORTED_CONVERSION,  // one that is not d, i, u, x or X as allowed
    GATHER_LONE_PERCENT,       // a '%' that starts no conversion: a percent sign meant
    GATHER_NUMBER_LOST,        // a ".." after the number: every number names one file
    GATHER_WORKING_FOLDER_UNSPELLED,  // a relative path (szName) hangs from a working folder
                                      // the code page cannot spell, so its full path is another
    GATHER_OUTPUT_IN_SERIES,   // the output is level file nLevel (szName)
    GATHER_OUTPUT_UNDECIDED,   // whether the output is a level file cannot be told cheaply
    GATHER_FOLDER_UNLISTED,    // nor can it, since the series' folder (szName) cannot be listed
    GATHER_LEVEL_UNOPENED,     // level file nLevel (szName) is missing (level 1) or
                               // is there but cannot be opened or examined
    GATHER_OUTPUT_UNOPENED,    // the output cannot be created (level 1) or reopened
    GATHER_OUTPUT_REPLACED,    // reopened for level nLevel, the output is another file
                               // than the one the levels before went into
    GATHER_READ_FAILED,        // reading level file nLevel (szName) failed
    GATHER_WRITE_FAILED        // writing or closing the output failed
};
