// File list: one record per entry a search found, kept in the order of finding and in
// a display order that the sort rewrites. Directories are interned once, as nodes of
// two component trees (as found, real) that the records point into.
//
// One writer (the find thread) appends while readers on other threads read rows below
// the count they were given: records, their nodes and the slots of both orders never
// move once published, and the count is published after the slots are written.
// A record starts zero-filled (`flist x{}`): init releases what the record held. The
// record must stay where it is while in use: its trees' roots are parents of nodes.
#pragma once

#include <windows.h>

#include "c/mblock.h"
#include "ds/array.h"
#include "ds/rbtree.h"

struct qnd;
struct list;
struct frec;

// Record flags.
enum : unsigned {
  FREC_REFRESHED = 0x1,  // attributes refreshed
  FREC_HANDED = 0x2,     // handed over for moving
  FREC_MOVED = 0x4,
  FREC_DELETED = 0x8,
  FREC_FOCUS = 0x100,    // remembered focus
  FREC_SELECTED = 0x200  // remembered selection
};

// Sort flags.
enum : unsigned { FLIST_REVERSE = 1, FLIST_IGNORECASE = 2, FLIST_DIRS_FIRST = 4, FLIST_PATHDIR_FIRST = 8 };

enum : unsigned {
  FLIST_MAX_SORT_IDS = 60,
  FLIST_MAX_COMPONENTS = 256,
  FLIST_DIR_ORDER = 1,
  FLIST_FILE_ORDER = 100,
  // The orders keep their slots in blocks of FLIST_NBLOCKITEMS behind a block table that is
  // allocated whole at the first add, so a reader never sees the table move either.
  FLIST_NBLOCKITEMS = 4096,
  FLIST_MAXBLOCKS = 16384,
  FLIST_MAX = FLIST_NBLOCKITEMS * FLIST_MAXBLOCKS
};

enum : unsigned short { FNODE_DIR = 1 };

// One path component. In the tree as found every record has a node of its own (the
// record hangs on it); directory nodes are shared by everything below them. The tree
// of real directories holds directory nodes only: a record's real path is its real
// directory's node and its name.
struct fnode {
  fnode* parent;         // nullptr for the tree's root, which names nothing
  const char* name;      // the component; a drive root keeps its separator ("C:\")
  fnode* hnext;          // next node of the same hash bucket
  frec* rec;             // the record on this node, or nullptr
  unsigned hash;         // of parent and name
  unsigned short depth;  // components from the root (the root: 0)
  unsigned short flags;  // FNODE_DIR
};

struct frec {
  const char* dir;   // as found, with its trailing separator; shared
  const char* rdir;  // absolute, with its trailing separator; shared
  const char* name;  // last component; the path node's text
  fnode* pnode;      // own node in the tree as found
  fnode* rdnode;     // real directory's node
  char* errtext;     // the search's error text, owned, or nullptr
  char* foerrtext;   // the last file operation's error text, owned, or nullptr
  FILETIME ctime, atime, mtime;
  unsigned long long size;
  unsigned seq;      // position in the order of finding
  unsigned attr;     // 0x10: directory
  unsigned flags;    // FREC_*
  int errcode;
  int foerrcode;
  short ext;                // offset of the dot that starts the extension in name, -1 none
  unsigned short dirorder;  // FLIST_DIR_ORDER or FLIST_FILE_ORDER
};

// A component tree: nodes in fixed blocks, found by parent and name through a hash index.
struct ftree {
  fnode root;
  mblock nodes;
  unsigned count;
  fnode** buckets;  // power-of-two many
  unsigned nbuckets;
};

// Texts that live as long as the list: names and directory texts, in chunks never moved.
struct fstrpool {
  char* chunks;  // chained through their first word
  char* cur;
  unsigned left;
};

// Interned directory texts of one tree, and the last one looked up.
struct fdirset {
  rbtree set;  // const char* -> fnode*
  const char* last;
  fnode* lastnode;
};

struct flist {
  int ignorecase;   // directory texts and components compare without case
  ftree paths;      // as found: directories and every record's node
  ftree rpaths;     // real directories
  fdirset dirs;
  fdirset rdirs;
  array found;      // frec*: the order of finding
  array display;    // frec*: row i of the list is display[i]
  mblock recs;
  fstrpool strs;
  char* scratch;    // the writer's copy of a directory text being interned
  unsigned n;       // records published (read with flist_count)
};

int flist_init(flist* fl, int ignorecase);
int flist_free(flist* fl);
// Empties both orders and both trees and frees every record.
int flist_clear(flist* fl);

// Appends the entry as the search engine reports it; 0 also when the entry is already
// in the list (a path two search paths both reach). Writer thread only.
int flist_add(flist* fl, const qnd* d);

// Records published so far; any thread.
unsigned flist_count(const flist* fl);
// Record at display position i (below the count the reader was given), or nullptr.
frec* flist_get(const flist* fl, unsigned i);
// Record at position i of the order of finding, or nullptr.
frec* flist_get_found(const flist* fl, unsigned i);

// Sort progress: fraction of records inserted; non-zero abandons the sort.
typedef int (*flist_sort_cb)(double done, void* usrdata);
// keys: ids separated by comma, blank, tab, CR or LF; flags FLIST_*; cb called every
// `every` insertions (0: never). Without a known id the display is the order of finding
// (backwards with FLIST_REVERSE), FLIST_DIRS_FIRST or not. 0, or the callback's code
// (the display order is then the order of finding as well).
int flist_sort(flist* fl, const char* keys, unsigned flags, flist_sort_cb cb, unsigned every, void* usrdata);

int flist_set_foerr(frec* r, int code, const char* text);

// Each record's real directory and name (list of frec*, type 0xC2) in UTF-16, ended by
// a zero or by sep when sep is not 0, and one more zero after the last. size: wide
// characters. 9005 when it does not fit.
int flist_fullpaths(const list* recs, wchar_t sep, wchar_t* buf, unsigned size);

// The extension of r without its dot; "" when it has none.
inline const char* frec_ext(const frec* r) { return r->ext >= 0 ? r->name + r->ext + 1 : ""; }
inline bool frec_isdir(const frec* r) { return (r->attr & 0x10) != 0; }
