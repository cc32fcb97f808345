// Payload callbacks of the container tests: the slot holds a heap text (char*) that the
// copy duplicates and the release frees; usrdata points at the counter.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "c/log_capture.h"

struct ds_counter {
  int inits = 0, copies = 0, releases = 0;
  int fail_copy_at = 0;               // the n-th copy fails with 9012 (0: never)
  std::set<const void*> live;         // texts duplicated and not yet freed
  std::vector<std::string> released;  // in release order; "<NOT LIVE>" for a text freed twice
  bool clean() const { return live.empty() && std::count(released.begin(), released.end(), "<NOT LIVE>") == 0; }
};

inline int ds_init_cb(unsigned, void* data, unsigned*, unsigned*, void* u) {
  ++static_cast<ds_counter*>(u)->inits;
  *static_cast<char**>(data) = nullptr;
  return 0;
}

// src: the address of a slot, as plain lists and trees pass it
inline int ds_copy_slot_cb(unsigned, void* dst, unsigned*, unsigned*, unsigned, const void* src, unsigned, void* u) {
  ds_counter* c = static_cast<ds_counter*>(u);
  if (++c->copies == c->fail_copy_at) return 9012;
  const char* s = *static_cast<const char* const*>(src);
  char* d = s ? strdup(s) : nullptr;
  if (d) c->live.insert(d);
  *static_cast<char**>(dst) = d;
  return 0;
}

// src: the text itself, as value lists, arrays and trees of nodes pass it
inline int ds_copy_text_cb(unsigned t, void* dst, unsigned* ds, unsigned* dm, unsigned st, const void* src, unsigned ss,
                           void* u) {
  return ds_copy_slot_cb(t, dst, ds, dm, st, &src, ss, u);
}

inline int ds_release_cb(unsigned, void* data, unsigned*, unsigned*, void* u) {
  ds_counter* c = static_cast<ds_counter*>(u);
  ++c->releases;
  char*& s = *static_cast<char**>(data);
  if (s && c->live.erase(s)) {
    c->released.push_back(s);
    std::free(s);
  } else if (s) {
    c->released.push_back("<NOT LIVE>");  // freed twice or never ours
  }
  s = nullptr;
  return 0;
}
