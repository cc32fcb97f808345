// What happened to the files of a file list after they were found: attributes read
// again, handed over for moving, moved, deleted. Every change is announced through the
// hub with the record as data (hub may be nullptr: nothing is announced).
#pragma once

#include "fm/flist.h"

struct ntf;
struct list;

// Unless already refreshed, reads the attributes again (a failure becomes the record's
// search error, "%s Get attr."); marks the record refreshed and posts 3.
int flist_refresh_attr(frec* r, ntf* hub, void* ref);
// Marks the record refreshed without reading anything and posts 4.
int flist_mark_refreshed(frec* r, ntf* hub, void* ref);
// recs: frec* (type 0xC2). Each record neither moved nor deleted is marked handed over; posts 6.
int flist_mark_handed(const list* recs, ntf* hub, void* ref);
// The records on r's path node whose file is gone become moved (posts 7) or deleted (posts 5).
int flist_check_moved(frec* r, ntf* hub, void* ref);
int flist_check_deleted(frec* r, ntf* hub, void* ref);
// flist_check_moved for every record of the list handed over for moving.
int flist_check_handed(flist* fl, ntf* hub, void* ref);
