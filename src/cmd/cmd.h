// Commands: named actions defined by a text such as "shexec -verb:open", kept in lists
// looked up by id. Parsing is portable; running goes through the shell (cmd/win32).
#pragma once

#include "ds/rbtree.h"

enum {
  CMD_T_NONE = 1,    // does nothing when run
  CMD_T_SHEXEC = 2   // extended shell execution
};

enum : unsigned { CMD_MASK_INVOKEIDLIST = 0xCu };
enum { CMD_NCMDMAX_DFLT = 12 };

struct cmd {
  char* id;
  char* cmdname;  // the definition as written
  char* params;   // may be nullptr
  int type;
  unsigned mask;
  char* verb;     // nullptr: the default verb
  char* file;     // used when the caller gives none
  char* dir;      // used when the caller gives none
  int show;
  int ncmdMax;
};

struct cmdlist {
  cmd** cmds;       // in the order added, owned
  unsigned ncmds;
  unsigned capacity;
  rbtree index;     // char* id (the command's own) -> cmd*
};

// What one run hands to the shell; the texts belong to the command or the caller.
struct cmd_exec {
  unsigned mask;
  void* owner;
  const char* verb;
  const char* file;
  const char* params;
  const char* dir;
  int show;
};

int cmdlist_clear(cmdlist* l);
int cmdlist_init(cmdlist* l);
int cmdlist_free(cmdlist* l);

// The new command, or nullptr with the code in *err (9003 bad id or definition, 9007 id
// present, 9004). ncmdMax <= 0 keeps the default.
cmd* cmdlist_add(cmdlist* l, const char* id, const char* cmdname, const char* params, int ncmdMax,
                 int* err = nullptr);
// nullptr with 9006 in *err when absent (not logged: callers report it in their words).
cmd* cmdlist_find(const cmdlist* l, const char* id, int* err = nullptr);
inline unsigned cmdlist_count(const cmdlist* l) { return l ? l->ncmds : 0; }

// Parses a definition into a fresh record c (its id and copies aside).
int cmd_parse(cmd* c, const char* cmdname);
void cmd_release(cmd* c);

// Fills ex for a run of c on file in dir (nullptr or "": the command's own). Returns 0
// with *run 0 for a command that does nothing, 0 with *run 1 when ex is ready.
int cmd_prepare(const cmd* c, const char* file, const char* dir, void* owner, cmd_exec* ex, int* run);

// Runs c on file (cmd/win32): 0, or the system's code of a failed execution.
int cmd_run(const cmd* c, const char* file, const char* dir, void* owner);
