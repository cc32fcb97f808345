// Filter dialog: template and control ids (shared by the resource scripts and the dialog's module).
#pragma once

#define FFILTDLG_DLG 7411
#define FFILTDLG_CMDLN 8510     // the command line (multi-line edit)
#define FFILTDLG_CMDLIST 8511   // the command history
#define FFILTDLG_CMDOUT 8512    // "Output to:"
#define FFILTDLG_CMDOUTTO 8513  // the output field
