// What a file operation does with one record, given the decisions the user made so far;
// the decision memory of a dialog and how an answer changes it. No system calls here.
#pragma once

// Decision flags of a request.
enum : unsigned {
  FT_DEL = 0x1,              // delete what is not read-only without asking
  FT_DEL_RO = 0x2,           // delete read-only files without asking
  FT_SHELL_CFM = 0x4,        // the shell asks for confirmation
  FT_OVERWRITE = 0x8,        // overwrite existing destinations that are not read-only
  FT_OVERWRITE_RO = 0x10,    // overwrite read-only destinations
  FT_CONFIRMED = 0x100,      // the user said Yes for the record at the starting position
  FT_SKIP_DEL_RO = 0x10000,  // delete: skip read-only files
  FT_SKIP = 0x20000,         // copy, move: skip existing destinations that are not read-only
  FT_SKIP_RO = 0x40000       // copy, move: skip read-only destinations
};

// What to do with one record.
enum ft_act { FT_ACT_DO = 0, FT_ACT_SKIP = 1, FT_ACT_ASK = 2 };

// What a thread stopped in front of (the confirmation the dialog asks).
enum ft_need { FT_NEED_NONE = 0, FT_NEED_OVERWRITE, FT_NEED_OVERWRITE_RO, FT_NEED_DEL, FT_NEED_DEL_RO };

// Answers of the confirmation dialog.
enum : int { FT_ANS_CANCEL = 2, FT_ANS_NO = 8430, FT_ANS_NOALL = 8431, FT_ANS_YES = 8432, FT_ANS_YESALL = 8433 };

// Copy or move onto dst: exists/ro describe the destination; confirmed: the record is at the
// starting position and the request carries FT_CONFIRMED.
ft_act ft_copy_act(unsigned flags, int confirmed, int exists, int ro);
// Delete: ro describes the record's file.
ft_act ft_del_act(unsigned flags, int confirmed, int ro);

// The destination of a gathered record: to, a separator, dir less the base path (and its
// leading separators), name. 9012 when dir does not start with base, 206 when the result
// does not fit in size bytes (buf then holds what fitted).
int ft_rel_dest(const char* base, const char* dir, const char* name, const char* to, char* buf, unsigned size);

// A dialog's remembered answers for one run.
struct ftdec {
  int skip;     // No to All on an existing destination
  int skip_ro;  // No to All on a read-only one
  int ow;       // Yes to All (or the overwrite-all setting)
  int ow_ro;    // Yes to All on a read-only one
  int del;      // delete without asking
  int del_ro;
  int skip_del_ro;
};

// Flags for a copy or move: askro 0 lets overwrite-all cover read-only destinations too.
unsigned ftdec_copy_flags(const ftdec* d, int askro);
unsigned ftdec_del_flags(const ftdec* d);

// What the dialog does after an answer to the question need.
enum ftdec_next {
  FTDEC_RESTART = 0,  // start again at the same position with the flags returned
  FTDEC_SKIP = 1,     // advance the position by one, then start again with the flags
  FTDEC_STOP = 2      // Cancel: the run stops
};
// Updates the memory for the answer and gives the next step; *flags receives the flags
// of the next start (FT_CONFIRMED included when the record itself was confirmed).
ftdec_next ftdec_answer(ftdec* d, ft_need need, int answer, int askro, unsigned* flags);
