// The search engine's walker: lists a hierarchy depth first, decides each entry's match
// (expression, then optionally a filter command's exit code) and hands matches and
// directories that cannot be listed to a callback.
#pragma once

#include <windows.h>

struct ex;

// One directory entry as the callback sees it. The texts are borrowed from the walker
// and valid during the call only.
struct qnd {
  const char* dir;      // directory part as built from the searched path, ends with a separator
  const char* rdir;     // its full path, ends with a separator
  const char* name;     // file name; nullptr for a searched directory itself; the pattern of an error entry
  int depth;            // 0 the searched directory (and error entries), 1 its entries, ...
  WIN32_FIND_DATAA fd;  // as listed; zero for an error entry
  unsigned errcode;     // system code of a failed listing, or a filter's error exit code
  const char* errtext;  // system message for errcode; nullptr for filter exit codes
};

void qnd_clear(qnd* d);

// A comparison read in the signed form: value and operator code (0 eq, 1 lt, 3 gt).
struct qn_cmp {
  int value;
  unsigned op;
};

enum { QN_FPOS_MAX = 5 };

enum : unsigned {
  QN_APPEND = 1  // flags: append to the filter's output files instead of truncating
};

// Walker record, owned by the caller. Set postorder, flags and cancel directly before a walk.
struct qn {
  int postorder;                // report a directory after its contents
  unsigned count;               // entries examined; only the owner resets it
  int depth;                    // depth of the directory being listed
  char* filter;                 // prepared filter command, or nullptr
  char* fpos[QN_FPOS_MAX];      // where the entry's path goes in filter, in order
  qn_cmp xmatch;                // exit code that keeps a match (%x; default: equal to 0)
  qn_cmp xerr;                  // exit code that marks an error entry (%e)
  HANDLE hout;                  // filter's standard output, or nullptr
  HANDLE herr;                  // filter's standard error (may be hout), or nullptr
  unsigned flags;               // QN_APPEND
  volatile LONG* cancel;        // polled while a filter command runs, or nullptr
};

// Listing errors that are not reported: op 0 equal, 1 less than, 3 greater than code.
struct diserr {
  unsigned op;
  int code;
};
static_assert(sizeof(diserr) == 8, "the disable-err slot is 8 bytes");

// match: 1 or 0; count: the walker's count including this entry. Non-zero stops the walk.
typedef int (*quarn_cb)(const qnd* d, int match, unsigned count, void* usrdata);

void quarn_init(qn* q);
void quarn_free(qn* q);
void quarn_prepare(qn* q);
void quarn_reset(qn* q);

// Walks one path. e: expression or nullptr (everything matches); filter: command
// template or nullptr; outfile, errfile: the filter's output files or nullptr ("nul" as
// errfile discards its errors); reportall: hand non-matching entries too (match 0);
// de: listing errors to keep quiet, or nullptr.
int quarn_find(qn* q, const char* path, const ex* e, const char* filter, const char* outfile, const char* errfile,
               quarn_cb cb, int reportall, const diserr* de, void* usrdata);

// Filter commands, used by quarn_find; exposed for callers that run one directly.
// Prepares the template into q (none for an absent or blank one).
int quarn_filter_prepare(qn* q, const char* filter);
void quarn_filter_free(qn* q);
// The command line for entry d: the prepared command with the quoted path at each %f
// position, or appended after a blank when there is none.
int quarn_filter_cmdln(const qn* q, const qnd* d, char* cmdln, unsigned cmdlnsz);
// Runs the command on d (in/out: *match, d->errcode). 9017 when cancelled.
int quarn_filter_run(qn* q, qnd* d, int* match);

// cvt_cb of the disable-err item: a 0xB0 slot of 8 bytes holding a diserr.
int quarn_diserr_cvt(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize, char* str,
                     unsigned strsize, int dir);
