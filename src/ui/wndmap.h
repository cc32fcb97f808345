// Window map: the program's windows and dialogs with the record that drives each,
// for code that has only a window handle. Window thread only.
#pragma once

enum : unsigned { WNDMAP_MAX = 64 };

struct wndmap_ent {
  void* wnd;
  void* rec;
};

struct wndmap {
  wndmap_ent ents[WNDMAP_MAX];
  unsigned n;
};

int wndmap_init(wndmap* m);
int wndmap_free(wndmap* m);
// Adds or replaces wnd's record; 9009 when the map is full.
int wndmap_add(wndmap* m, void* wnd, void* rec);
// 9006 when wnd is not registered.
int wndmap_del(wndmap* m, void* wnd);
// nullptr when wnd is not registered.
void* wndmap_get(const wndmap* m, void* wnd);
