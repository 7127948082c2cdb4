// Resource ids of the main dialog. IDOK (1) is the system's own.
#pragma once

#define IDD_MAIN 101

#define IDC_FOLDER 1001
#define IDC_BROWSE_FOLDER 1002
#define IDC_FORMAT 1003
#define IDC_OUTPUT 1004
#define IDC_BROWSE_OUTPUT 1005
#define IDC_COUNT 1006
