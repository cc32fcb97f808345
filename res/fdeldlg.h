// Template and control ids of the delete dialog.
#pragma once

#define IDD_FDELDLG 7401
#define IDC_FDEL_LIST 8401
#define IDC_FDEL_NOTE 8402
#define IDC_FDEL_DEL 8403
#define IDC_FDEL_ALL 8404
#define IDC_FDEL_DIRS 8405
#define IDC_FDEL_RECURSIVE 8406
#define IDC_FDEL_RULE 8407
#define IDC_FDEL_SPACE 8408
#define IDC_FDEL_OSCFM 8409
