// Information dialog: template and control ids (shared by the resource scripts and the dialog's module).
#pragma once

#define FINFDLG_DLG 7410
#define FINFDLG_INFO 8490   // the facts (read-only multi-line edit)
#define FINFDLG_STRIP 8491  // colour strip
