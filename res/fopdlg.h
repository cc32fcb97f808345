// Templates and control ids of the file-operation dialogs.
#pragma once

#define IDD_FCPDLG 7408
#define IDD_FMVDLG 7409
#define IDC_FCP_TO 8450
#define IDC_FCP_TOLBL 8451
#define IDC_FCP_LIST 8452
#define IDC_FCP_RECURSIVE 8453
#define IDC_FCP_RULE 8454
#define IDC_FCP_COPY 8455
#define IDC_FCP_SPACE 8456
#define IDC_FMV_TOLBL 8470
#define IDC_FMV_TO 8471
#define IDC_FMV_LIST 8472
#define IDC_FMV_SPACE 8473
#define IDC_FMV_MOVE 8474
