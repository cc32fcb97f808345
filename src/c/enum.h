// Enumeration lists: names for int values, looked up without regard to case.
#pragma once

struct enum_item {
  int val;
  const char* name;
};

struct enum_list {
  unsigned nitems;
  const enum_item* items;
};

// First entry whose name equals str (case ignored); 9006 leaves *val unchanged.
int enum_from_str(const enum_list* elist, const char* str, int* val);
// Name of the first entry with val (points into the list); 9006 leaves *name unchanged.
int enum_to_str(const enum_list* elist, int val, const char** name);
