// Resource database in the manner of the X resource manager: resource patterns of
// dotted components with loose ("*") and tight (".") bindings paired with a text,
// queried by fully qualified instance and class names. One manager (xrm) owns its
// databases (db) and serialises every operation on them with one mutex.
#pragma once

#include "c/cfg.h"
#include "c/mutex.h"
#include "ds/list.h"
#include "ds/rbtree.h"
#include "xrm/xquark.h"

enum : unsigned {
  XRM_LOCK_TIMEOUT = 1000,  // ms, every operation that takes the manager's mutex
  XRM_NAME_SIZE = 256,      // a qualified name or resource pattern
  XRM_MAXQUARKS = 256,      // components of a parse (255 usable)
  XRM_VALUE_SIZE = 8192,    // a value converted to or from text
  XRM_USRNAME_SIZE = 64,
  XRM_SAVE_LINE_SIZE = 8512
};

enum : unsigned long { XRM_EV_SET = 1ul };

struct db;

// Returns 0 to let the notification go on, anything else to stop it.
typedef int (*xrm_cb)(db* d, unsigned long event, const char* spec, const char* value, void* usrdata);

struct xrm {
  mutex mtx;
  list dbs;  // db* values, owned
  char* usrname;
  char* app;
  char* com;
  void* w1;
  void* w2;
  unsigned long owner;  // thread holding mtx, 0 when none (read atomically)
  unsigned depth;       // its nested holds: only the outermost reaches the mutex
};

struct db {
  rbtree res;   // const quarks* key (a block holding components and text) -> char* value
  xrm* owner;
  list cbs;     // cbi* values, owned
  unsigned nextcbid;
  unsigned depth;  // nesting of notifications
};

struct cbi {
  char id[16];  // decimal counter at registration
  unsigned long mask;
  xrm_cb cb;
  void* usrdata;
  int removed;
};

// Releases the record first; app and com are required. usrname null: the login name.
int xrm_init(xrm* x, const char* app, const char* com, const char* usrname, void* w1, void* w2);
void xrm_free(xrm* x);
// A new database owned by the manager, or nullptr.
db* xrm_db_new(xrm* x);
// Releases the database and takes it out of its manager's list.
void xrm_db_free(db* d);
// The manager's mutex, for callers that read several resources as one step
// (the mutex is recursive: the operations below may be called while holding it).
int xrm_lock(db* d);
int xrm_unlock(db* d);

// "usrname.app.name" (name starting with "." or "*" joins without the dot); buf empty on a cut.
char* xrm_qualify(const xrm* x, const char* name, char* buf, unsigned bufsize);

// value null or empty: the resource is stored without a value ("").
int xrm_put(db* d, const char* spec, int qualify, const char* value);
// val is passed as the value functions take it (a text itself, else its address).
int xrm_put_val(db* d, const char* spec, int qualify, unsigned valtype, const void* val, unsigned valsize,
                const enum_list* enums);
// val is the slot (for 0x82 a char* slot the caller frees); valsize/valmaxsize as val_set
// takes them. 9006 (not logged) when nothing matches.
int xrm_get(db* d, const char* name, const char* cls, int qualify, unsigned valtype, void* val, unsigned* valsize,
            unsigned* valmaxsize, const enum_list* enums);
// The matching text itself into buf (bufsize bytes, 9005 when cut); 9006 when none.
int xrm_get_str(db* d, const char* name, const char* cls, int qualify, char* buf, unsigned bufsize);

enum : unsigned {
  XRM_ITEM_QUALIFY = 2u,   // cfg_item flag bit 1: qualify this item
  XRM_ITEM_NOQUALIFY = 4u  // bit 2: do not
};
// Prefixes may be null or empty (the item names are used alone).
int xrm_get_items(db* d, void* items_val_base, unsigned nitems, const cfg_item* items, const char* nprefix,
                  const char* cprefix, int qualify);
int xrm_put_items(db* d, const void* items_val_base, unsigned nitems, const cfg_item* items, const char* nprefix,
                  int qualify);

// Writes the resources sorted by resource pattern as a resource file.
int xrm_db_save(db* d, const char* fname);

// idbuf (optional) receives the id text; 9007 for the same (mask, cb, usrdata) twice.
int xrm_add_cb(db* d, unsigned long mask, xrm_cb cb, void* usrdata, char* idbuf, unsigned idbufsize);
// Removes a callback by id; during a notification it is only flagged and goes when
// the outermost notification ends. 9006 for an unknown id.
int xrm_del_cb(db* d, const char* id);
// Mirrors "set" events into the database usrdata (spec stored unqualified).
int xrm_cb_mirror(db* d, unsigned long event, const char* spec, const char* value, void* usrdata);

// Resources in the database (under the mutex); 0 on failure.
unsigned xrm_db_count(db* d);
