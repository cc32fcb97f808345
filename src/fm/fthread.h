// File operations on worker threads: copy, move, delete and change attributes of one
// path or of a gathered list, and the threads that gather a list by searching below a
// directory. Each start function hands a request to a new thread; the thread owns it
// until it posts notification 11 (data: the request, reference: its reference); the
// receiver reads the outcome and frees the request with ft_free.
//
// List operations are resumable: *pos is the next record, and the thread stops without
// error in front of a record that needs the user's decision (result 0, need set,
// *pos on that record). Start again at *pos with FT_CONFIRMED after a Yes, or at
// *pos + 1 after a No (ftdec_answer says which). A list operation with a progress record
// posts notification 10 (data: the progress record, reference: the request's reference)
// for each record and checks the record's stop request before each one.
//
// Copy and move lists follow the order of finding, the delete list the display order
// (the gather-for-deletion thread sorts it contents first).
#pragma once

#include "fm/ftdecide.h"

struct flist;
struct frec;
struct ntf;
struct progr;
struct txr;

enum : unsigned { FT_PATH_SIZE = 4096 };

// Operations.
enum ft_op {
  FT_OP_ATTRIB = 1, FT_OP_COPY, FT_OP_COPY_LIST, FT_OP_MOVE, FT_OP_MOVE_LIST, FT_OP_DEL, FT_OP_DEL_LIST,
  FT_OP_RECYCLE, FT_OP_GATHER, FT_OP_FIND_RO, FT_OP_GATHER_DEL
};

// Where the threads report: the hub that receives notifications 10 and 11, and the
// texts of the progress and failure messages (nullptr: the English ids).
struct ftenv {
  ntf* hub;
  const txr* tx;
};

struct ft {
  ft_op op;
  char* path;     // source, or the base directory of a list
  char* to;       // destination (copy, move)
  unsigned set;   // attributes to set, within mask
  unsigned mask;
  int result;     // 0: done, or stopped for a decision (need)
  int errcode;    // the failure recorded, 0 none
  char* errtext;
  unsigned flags;     // FT_* decisions
  flist* fl;
  unsigned* pos;      // next record of the list (the dialog's counter)
  unsigned* done;     // files done (may be nullptr)
  progr* pr;          // progress text and stop request (may be nullptr)
  void* ref;          // reference of notification 11
  ntf* hub;
  const txr* tx;
  ft_need need;       // what the thread stopped for
  char* target;       // the path that decision is about (owned), or nullptr
  unsigned skipped;   // records passed over by a skip decision in this run
  int recfail;        // the failure is the record's at *pos, not the operation's
};

// Start functions: 0 when the thread runs (it then always posts 11), else the code;
// nothing is posted then.
int fthread_attrib(const ftenv* env, const char* path, unsigned set, unsigned mask, unsigned* done, void* ref);
int fthread_copy(const ftenv* env, const char* path, const char* to, unsigned* done, void* ref);
int fthread_copy_list(const ftenv* env, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
                      unsigned* done, progr* pr, void* ref);
int fthread_move(const ftenv* env, const char* path, const char* to, unsigned* done, void* ref);
int fthread_move_list(const ftenv* env, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
                      unsigned* done, progr* pr, void* ref);
int fthread_del(const ftenv* env, const char* path, unsigned* done, void* ref);
int fthread_del_list(const ftenv* env, const char* path, unsigned flags, flist* fl, unsigned* pos, unsigned* done,
                     progr* pr, void* ref);
int fthread_recycle(const ftenv* env, const char* path, unsigned flags, unsigned* done, void* ref);
int fthread_gather(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref);
int fthread_find_ro(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref);
int fthread_gather_del(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref);

// Records a failure: the code and a copy of the text (the previous one is replaced).
int ft_set_err(ft* r, int code, const char* text);
int ft_free(ft* r);

// How a dialog goes on after notification 11 of a list operation over count records.
enum ft_end {
  FT_END_DONE = 0,    // every record handled
  FT_END_DECIDE,      // stopped for a decision (need, target): ask, then ftdec_answer
  FT_END_RECORD,      // one record failed: store the error on record *pos, pass it, start again
  FT_END_FAILED,      // the operation failed as a whole
  FT_END_ABORTED      // stopped on request
};
ft_end ft_end_of(const ft* r, unsigned count);

// A directory item of which some but not all of total records were done gets the text
// "Partially copied (%u/%u)." (moved, deleted, changed after op) of its dialog as its
// file-operation error, code 0. 1 when it was set, 0 when the item is not partial.
int ft_item_partial(const txr* tx, ft_op op, unsigned done, unsigned total, frec* item);

// The thread bodies, run on the calling thread (the start functions run them on a new
// one); each returns the request's result and posts nothing.
int ft_run(ft* r);
