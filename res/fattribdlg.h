// Template and control ids of the change-attributes dialog.
#pragma once

#define IDD_FATTRIBDLG 7412
#define IDC_FATTRIB_LIST 8530
#define IDC_FATTRIB_RO 8531
#define IDC_FATTRIB_HIDDEN 8532
#define IDC_FATTRIB_ARCHIVE 8533
#define IDC_FATTRIB_RULE 8534
#define IDC_FATTRIB_CMDLBL 8535
#define IDC_FATTRIB_CMD 8536
#define IDC_FATTRIB_CHANGE 8538
