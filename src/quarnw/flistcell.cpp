#include "quarnw/flistcell.h"

#include <cstring>
#include <ctime>

#include "c/str.h"
#include "c/timecvt.h"
#include "err/err.h"
#include "fio/dgrp.h"
#include "fio/fattrf.h"
#include "fio/timef.h"
#include "fm/flist.h"
#include "fm/ftext.h"

const char* const flcol_ids[FLCOL_N] = {"rpath", "path", "dir", "name", "ext", "md", "ad", "Bd", "size", "attr", "err"};

namespace {

constexpr int kSortCmds[FLCOL_N] = {40024, 40023, 40009, 40010, 40011, 40014, 40012, 40013, 40015, 40016, 40026};

// Appends what fits; remembers a cut.
struct cellbuf {
  char* p;
  unsigned size;
  unsigned len;
  int rc;
  void add(const char* s) {
    if (s) addn(s, std::strlen(s));
  }
  void addn(const char* s, size_t n) {
    if (len + n + 1 > size) {
      n = size - 1 - len;
      rc = 9005;
    }
    std::memcpy(p + len, s, n);
    len += (unsigned)n;
    p[len] = 0;
  }
};

// "C:\" keeps its separator: it would name the drive's current directory without it.
bool keep_sep(const char* s, size_t n) { return n >= 2 && s[n - 2] == ':'; }

void add_time(cellbuf& b, const FILETIME& ft, const flistcell_fmt* f) {
  struct tm tm;
  if (ft_to_tm(&ft, &tm)) return;
  char t[256];
  if (timef_to_str(&tm, f->timefmt, f->timefmt_usr, f->sc, t, sizeof t) == 0) b.add(t);
}

void add_path(cellbuf& b, const char* dir, const frec* r, const flistcell_fmt* f) {
  b.add(dir);
  b.add(r->name);
  size_t n = std::strlen(r->name);
  if (f->file_type && frec_isdir(r) && n && !fsep(r->name[n - 1])) b.add("\\");
}

}  // namespace

int flcol_find(const char* id) {
  if (!id) return -1;
  for (int i = 0; i < FLCOL_N; ++i)
    if (!std::strcmp(flcol_ids[i], id)) return i;
  return -1;
}

int flcol_sortcmd(int col) { return col >= 0 && col < FLCOL_N ? kSortCmds[col] : 0; }

int flistcell_text(const frec* r, int col, const flistcell_fmt* f, char* buf, unsigned size) {
  if (!r || !f || !buf || !size || col < 0 || col >= FLCOL_N) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - r: %p, col: %d, f: %p, buf: %p, size: %u.", (const void*)r, col,
            (const void*)f, (void*)buf, size);
    return 9003;
  }
  cellbuf b{buf, size, 0, 0};
  buf[0] = 0;
  if (r->flags & FREC_DELETED)
    b.add(f->mark_deleted);
  else if (r->flags & FREC_MOVED)
    b.add(f->mark_moved);
  switch (col) {
    case FLCOL_AD:
    case FLCOL_BD:
    case FLCOL_MD:
      if (!r->errcode) add_time(b, col == FLCOL_AD ? r->atime : col == FLCOL_BD ? r->ctime : r->mtime, f);
      break;
    case FLCOL_ATTR:
      if (!r->errcode) {
        char t[16];
        if (fattrf_to_str(r->attr, t, sizeof t) == 0) b.add(t);
      }
      break;
    case FLCOL_DIR: {
      size_t n = std::strlen(r->dir);
      if (f->file_type || !n || !fsep(r->dir[n - 1]) || keep_sep(r->dir, n)) {
        b.add(r->dir);
      } else {
        b.addn(r->dir, n - 1);
      }
      break;
    }
    case FLCOL_ERR:
      if (r->errtext && *r->errtext) {
        char t[64];
        mox_snprintf(t, sizeof t, "[%d] ", r->errcode);
        b.add(t);
        b.add(r->errtext);
      } else if (r->errcode) {
        char t[32];
        mox_snprintf(t, sizeof t, "[%d]", r->errcode);
        b.add(t);
      }
      break;
    case FLCOL_EXT:
      b.add(frec_ext(r));
      break;
    case FLCOL_NAME:
      b.add(r->name);
      break;
    case FLCOL_PATH:
      add_path(b, r->dir, r, f);
      break;
    case FLCOL_RPATH:
      add_path(b, r->rdir, r, f);
      break;
    case FLCOL_SIZE:
      if (!r->errcode && !frec_isdir(r) && f->dg) {
        char t[DGRP_ISTR_SIZE + 16];
        if (fsz_str(r->size, f->sizefmt, f->dg, f->grpstyle, f->sc, t, sizeof t) == 0) b.add(t);
      }
      break;
  }
  return b.rc;
}

int flistcell_colors(const frec* r, const flistcell_clrs* c, unsigned* fg, unsigned* bg) {
  if (!r || !c || !fg || !bg) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - r: %p, c: %p, fg: %p, bg: %p.", (const void*)r, (const void*)c,
            (void*)fg, (void*)bg);
    return 0;
  }
  if (r->errcode) {
    *fg = c->err_fg, *bg = c->err_bg;
  } else if (!c->color) {
    return 0;
  } else if (r->flags & FREC_MOVED) {
    *fg = c->moved_fg, *bg = c->moved_bg;
  } else if (r->flags & FREC_DELETED) {
    *fg = c->deleted_fg, *bg = c->deleted_bg;
  } else if (!frec_isdir(r)) {
    *fg = c->file_fg, *bg = c->file_bg;
  } else {
    *fg = c->dir_fg, *bg = c->dir_bg;
  }
  return 1;
}

namespace {

// The next conversion of a printf format from p on, as the span [*start, p) from its
// '%' to its conversion character; false at the end. "%%" is no conversion.
bool next_conv(const char*& p, const char** start) {
  while (*p) {
    if (*p++ != '%') continue;
    if (*p == '%') {
      ++p;
      continue;
    }
    *start = p - 1;
    while (*p && std::strchr("-+ #0123456789.*'hlLqjzt", *p)) ++p;
    if (*p) ++p;
    return true;
  }
  return false;
}

}  // namespace

int flistcell_same_convs(const char* fmt, const char* ref) {
  if (!fmt || !ref) return 0;
  const char *a = fmt, *b = ref, *sa = nullptr, *sb = nullptr;
  for (;;) {
    bool x = next_conv(a, &sa), y = next_conv(b, &sb);
    if (x != y) return 0;
    if (!x) return 1;
    // flags, width and length too: "%ld" takes another argument than "%d"
    if (a - sa != b - sb || std::strncmp(sa, sb, (size_t)(a - sa))) return 0;
  }
}

int flistcell_split_dir(const char* dir, char* parent, unsigned psize, char* last, unsigned lsize) {
  if (!dir || !parent || !psize || !last || !lsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - dir: %p, parent: %p, psize: %u, last: %p, lsize: %u.",
            (const void*)dir, (void*)parent, psize, (void*)last, lsize);
    return 9003;
  }
  size_t n = std::strlen(dir);
  while (n && fsep(dir[n - 1])) --n;
  size_t cut = n;
  while (cut && !fsep(dir[cut - 1])) --cut;
  // the component must have a parent that is more than a UNC prefix, and not be a drive
  bool root = !cut || (n && dir[n - 1] == ':');
  if (!root) {
    size_t seps = 0;
    for (size_t i = 0; i < cut; ++i) seps += fsep(dir[i]);
    if (fsep(dir[0]) && fsep(dir[1]) && seps <= 3) root = true;  // \\srv\share
  }
  int e = 0, e2 = 0;
  if (root) {
    mox_strcpy(parent, psize, dir, &e);
    last[0] = 0;
    return e;
  }
  mox_strncpy(parent, psize, dir, (unsigned)cut, &e);
  mox_strncpy(last, lsize, dir + cut, (unsigned)(n - cut), &e2);
  return e ? e : e2;
}
