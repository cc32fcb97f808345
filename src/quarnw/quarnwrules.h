// The main window's rules that need no window: the title, the enabling of the list
// commands, the sort commands' columns and the sort choices they make.
#pragma once

struct quarnwcfg;

enum : unsigned { QUARNW_TITLE_SIZE = 1024 };

// The title: path part (pathmax characters of UTF-8 text), count part (focus: position
// from 0, or -1), product title.
// title.path.max outside 0..1023 counts as 1000. 9005 when buf is too small (buf kept).
int quarnw_title_fmt(char* buf, unsigned bufsize, const char* path, int pathmax, int count, int focus,
                     const char* title);
// Whether the list command idm (fcp, fcut, fcpto, fmvto, fdel, fattrib, fedit, fopen,
// fopendir, fopenas, fexec) is enabled for these counts; 9003 for another command.
int quarnw_cmd_enabled(int idm, unsigned usable, unsigned selected, int* enabled);
// The column of an fsortBy command ("ad" ... "size"); nullptr for another id.
const char* quarnw_sortcol(int idm);
// A sort column chosen: its key list becomes sortby with the column's default direction,
// or, when it is already in force, the direction turns.
int quarnw_sort_choose(quarnwcfg* cfg, const char* keys, int revdflt);
// fgrpdir1st / fpathdir1st: toggles one, clears the other. Returns whether to sort again.
int quarnw_toggle_dir1st(quarnwcfg* cfg, int grp);
