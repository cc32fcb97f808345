// The text of the information dialog for one file record: its mark and path, its facts
// in the dialog's own time and size styles, and its error lines.
#pragma once

#include "quarnw/flistcell.h"

struct frec;
struct txr;

enum : unsigned { FINF_TEXTSIZE = 32768 };

// Writes r's text into buf (empty for no record); *has_err (may be null) receives 1 when
// the record carries a search or file-operation error. Labels come from tx (context
// "finfdlg.file"); f's marks are the moved and deleted marks of the first line.
int finf_text(const frec* r, const flistcell_fmt* f, const txr* tx, char* buf, unsigned bufsize, int* has_err);
