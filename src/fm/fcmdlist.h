// The history of filter commands: most recent first, each command once by the list's
// case rule, saved as "<name>.<i>" entries and a "<nname>" count.
#pragma once

struct db;

enum : unsigned { FCMDLIST_CMDSIZE = 32768 };

struct fcmdlist {
  char** cmds;  // owned texts, most recent first
  unsigned n;
  unsigned cap;
  int ignorecase;
};

int fcmdlist_init(fcmdlist* l, int ignorecase);
int fcmdlist_free(fcmdlist* l);
// Trims cmd; an equal entry moves to the front, a new one goes there; an empty one is not added.
int fcmdlist_add(fcmdlist* l, const char* cmd);
const char* fcmdlist_get(const fcmdlist* l, unsigned i);
// Reads at most max entries (0: no limit) under name/nname, keeping their order.
int fcmdlist_load(fcmdlist* l, db* d, const char* name, const char* nname, unsigned max);
// Writes at most max entries (0: no limit) and their count.
int fcmdlist_save(const fcmdlist* l, db* d, const char* name, const char* nname, unsigned max);
