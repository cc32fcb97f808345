// Building file-list entries in code the way the search engine reports them.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "fm/flist.h"
#include "quarn/quarnlib.h"

struct Ent {
  std::string dir, rdir;  // rdir empty: same as dir
  const char* name;       // nullptr: a searched directory itself
  unsigned attr = 0x20;
  unsigned long long size = 0;
  unsigned long long time = 0;  // all three times
  unsigned errcode = 0;
  const char* errtext = nullptr;
};

inline int add_ent(flist* fl, const Ent& e) {
  qnd d;
  qnd_clear(&d);
  d.dir = e.dir.c_str();
  d.rdir = e.rdir.empty() ? e.dir.c_str() : e.rdir.c_str();
  d.name = e.name;
  d.fd.dwFileAttributes = e.attr;
  d.fd.nFileSizeHigh = (DWORD)(e.size >> 32);
  d.fd.nFileSizeLow = (DWORD)e.size;
  FILETIME t{(DWORD)e.time, (DWORD)(e.time >> 32)};
  d.fd.ftCreationTime = d.fd.ftLastAccessTime = d.fd.ftLastWriteTime = t;
  d.errcode = e.errcode;
  d.errtext = e.errtext;
  return flist_add(fl, &d);
}

inline Ent dir_ent(const std::string& dir, const char* name) { return Ent{dir, "", name, 0x10}; }
inline Ent file_ent(const std::string& dir, const char* name, unsigned long long size = 0) {
  Ent e{dir, "", name};
  e.size = size;
  return e;
}

// "dir+name" of every row in display order.
inline std::vector<std::string> rows(const flist* fl) {
  std::vector<std::string> v;
  for (unsigned i = 0; i < flist_count(fl); ++i) {
    const frec* r = flist_get(fl, i);
    v.push_back(std::string(r->dir) + r->name);
  }
  return v;
}
