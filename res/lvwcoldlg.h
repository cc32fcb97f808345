// Column dialog of the list views: template and control ids (shared by the
// resource scripts and the dialog's module).
#pragma once

#define LVWCOLDLG_DLG 7460
#define LVWCOLDLG_SHOWN 7461      // list box: shown columns, in display order
#define LVWCOLDLG_HIDDEN 7462     // list box: hidden columns
#define LVWCOLDLG_SHOW 7463
#define LVWCOLDLG_HIDE 7464
#define LVWCOLDLG_UP 7465
#define LVWCOLDLG_DOWN 7466
#define LVWCOLDLG_SHOWN_LBL 7467
#define LVWCOLDLG_HIDDEN_LBL 7468
#define LVWCOLDLG_APPLY 7469
