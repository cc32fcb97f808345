// Export of the result list: the records' full paths one a line, or the shown columns
// as comma-separated values with the cell texts of the list.
#pragma once

struct frec;
struct listcol;
struct strbuf;
struct flistcell_fmt;

enum : int { FLISTEXP_PATHS = 1, FLISTEXP_CSV = 2 };

// The shown columns of a set in display order, as cell columns (FLCOL_*) with the set's
// index of each (setidx may be none); columns the list has no cells for are left out.
// Returns how many were stored (at most max).
unsigned flistexp_cols(const listcol* lc, int* cols, int* setidx, unsigned max);

// Appends text as one field: in double quotes, with its quotes doubled, when it holds a
// comma, a double quote or a line break; as it is otherwise.
int flistexp_csv_field(strbuf* sb, const char* text);

// Appends the full path of each record, one a line ("\r\n").
int flistexp_paths(const frec* const* recs, unsigned n, strbuf* sb);

// Appends a title line, then one line per record with the text of each column as the list
// shows it (f), lines ended by "\r\n".
int flistexp_csv(const frec* const* recs, unsigned n, const int* cols, const char* const* titles, unsigned ncols,
                 const flistcell_fmt* f, strbuf* sb);
