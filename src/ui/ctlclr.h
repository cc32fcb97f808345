// Control colours: the text and background colours a window paints some of its controls
// with (the invalid colours of an input field, the level colours of a title line).
// Window thread only.
#pragma once

enum : unsigned { CTLCLR_MAX = 64 };

struct ctlclr_ent {
  void* wnd;       // the control
  unsigned fg, bg; // colour references
  void* brush;     // background brush made on first paint, released with the entry
};

struct ctlclr {
  ctlclr_ent ents[CTLCLR_MAX];
  unsigned n;
};

int ctlclr_init(ctlclr* t);
int ctlclr_free(ctlclr* t);
// Sets or replaces the colours of wnd; 9009 when the table is full.
int ctlclr_set(ctlclr* t, void* wnd, unsigned fg, unsigned bg);
// 9006 when wnd has none.
int ctlclr_del(ctlclr* t, void* wnd);
ctlclr_ent* ctlclr_find(const ctlclr* t, void* wnd);
// For the control-colour messages: sets the device context's colours and returns the
// background brush, or nullptr when wnd has no colours (default painting).
void* ctlclr_paint(ctlclr* t, void* wnd, void* hdc);
