// The sort of the file list: a chain of comparators run by an ordered tree.
#include <cstring>

#include "ds/rbktree.h"
#include "err/err.h"
#include "fio/fattrf.h"
#include "fm/flist.h"
#include "fm/ftext.h"

namespace {

struct sortctx;
typedef int (*fcmp_fn)(const frec* a, const frec* b, sortctx* c);
// A number that orders as the comparator does wherever the two numbers differ (equal
// numbers say nothing): the tree decides most steps on it without leaving its node.
// pre2 (optional) receives the number for what follows: texts give their first 16 bytes.
typedef unsigned long long (*fpre_fn)(const frec* r, const sortctx* c, unsigned long long* pre2);

struct fcmp {
  fcmp_fn fn;
  bool rev;
  fpre_fn pre;
};

// The tree's key: the record and the prefix of the first comparators.
struct skey {
  const frec* r;
  unsigned long long pre, pre2;
};

struct sortctx {
  fcmp chain[FLIST_MAX_SORT_IDS + 1];  // and the sequence last
  unsigned n;
  bool icase;        // the sort's text rule
  bool pathdir1st;
  bool treeicase;    // the list's own rule: which components are the same node
  bool warned;       // the component limit is reported once a sort
  fpre_fn pre;       // of the first comparator after the directory order, or nullptr
  bool prerev;
  bool predir;       // the top bit holds the directory order
};

template <typename T>
inline int cmp3(T a, T b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

inline unsigned long long ft64(const FILETIME& t) {
  return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

inline const char* nz(const char* s) { return s ? s : ""; }

int by_dirorder(const frec* a, const frec* b, sortctx*) { return cmp3(a->dirorder, b->dirorder); }
int by_seq(const frec* a, const frec* b, sortctx*) { return cmp3(a->seq, b->seq); }
int by_atime(const frec* a, const frec* b, sortctx*) { return cmp3(ft64(a->atime), ft64(b->atime)); }
int by_ctime(const frec* a, const frec* b, sortctx*) { return cmp3(ft64(a->ctime), ft64(b->ctime)); }
int by_mtime(const frec* a, const frec* b, sortctx*) { return cmp3(ft64(a->mtime), ft64(b->mtime)); }

// the attribute letters as the list shows them
int by_attr(const frec* a, const frec* b, sortctx*) {
  char x[16], y[16];
  fattrf_to_str(a->attr, x, sizeof x);
  fattrf_to_str(b->attr, y, sizeof y);
  return ftext_cmp(x, y, false);
}

int by_size(const frec* a, const frec* b, sortctx*) {
  bool da = frec_isdir(a), db = frec_isdir(b);
  if (da || db) return da && db ? 0 : da ? -1 : 1;
  return cmp3(a->size, b->size);
}

int by_name(const frec* a, const frec* b, sortctx* c) { return ftext_cmp(a->name, b->name, c->icase); }
int by_ext(const frec* a, const frec* b, sortctx* c) { return ftext_cmp(frec_ext(a), frec_ext(b), c->icase); }

int by_err(const frec* a, const frec* b, sortctx* c) {
  int r = cmp3(a->errcode, b->errcode);
  return r ? r : ftext_cmp(nz(a->errtext), nz(b->errtext), c->icase);
}

int by_foerr(const frec* a, const frec* b, sortctx* c) {
  int r = cmp3(a->foerrcode, b->foerrcode);
  return r ? r : ftext_cmp(nz(a->foerrtext), nz(b->foerrtext), c->icase);
}

// --- components ----------------------------------------------------------------------------
//
// A record's chain runs from the root down to its last component. The last one is either
// a node (the tree as found) or only a name under a directory node (real paths). Two chains
// are compared without collecting them: the deeper is lifted to the other's depth, then
// both climb in step until their parents meet; the two components below the meeting
// point are the first that differ.

struct side {
  const fnode* parent;  // directory of the last component
  const fnode* leaf;    // the last component's node, or nullptr for a name only
  const char* name;
  bool dir;             // the last component is a directory
  unsigned depth;       // of the last component
};

struct comp {
  const fnode* node;  // nullptr: the name-only last component
  const char* name;
  const fnode* parent;
  bool last;
  bool dir;
};

comp at(const side& s, unsigned k) {
  if (k == s.depth) return comp{s.leaf, s.name, s.parent, true, s.dir};
  const fnode* n = s.parent;
  while (n->depth > k) n = n->parent;
  return comp{n, n->name, n->parent, false, true};
}

// x and y have the same parent
inline bool same(const comp& x, const comp& y, bool treeicase) {
  if (x.node && y.node) return x.node == y.node;
  if (x.node || y.node) {
    const comp& n = x.node ? x : y;
    const comp& v = x.node ? y : x;
    return ftext_cmp(n.name, v.name, treeicase) == 0 && n.node->parent == v.parent;
  }
  return ftext_cmp(x.name, y.name, treeicase) == 0;
}

inline int decide(const comp& x, const comp& y, int textcmp, const sortctx* c) {
  if (c->pathdir1st) {
    bool dx = !x.last || x.dir, dy = !y.last || y.dir;
    if (dx != dy) return dx ? -1 : 1;
  }
  return textcmp;
}

// The walk from the root down, over collected chains: used when two components that are
// different nodes compare equal by the sort's text rule (a list that keeps case sorted
// without it), where the walk must go on below them.
int walk_chains(const side& a, const side& b, sortctx* c) {
  comp ca[FLIST_MAX_COMPONENTS + 1], cb[FLIST_MAX_COMPONENTS + 1];
  for (unsigned k = a.depth; k >= 1; --k) ca[k] = at(a, k);
  for (unsigned k = b.depth; k >= 1; --k) cb[k] = at(b, k);
  unsigned n = a.depth < b.depth ? a.depth : b.depth;
  for (unsigned k = 1; k <= n; ++k) {
    int t = ftext_cmp(ca[k].name, cb[k].name, c->icase);
    if (t) return decide(ca[k], cb[k], t, c);
  }
  return cmp3(a.depth, b.depth);
}

int cmp_chains(const side& a, const side& b, sortctx* c) {
  if (a.depth > FLIST_MAX_COMPONENTS || b.depth > FLIST_MAX_COMPONENTS) {
    if (!c->warned) {
      ERR_LOG(ERR_ERR, 9009, "Max path components [%u] exceeded.", (unsigned)FLIST_MAX_COMPONENTS);
      c->warned = true;
    }
    return 0;
  }
  unsigned k = a.depth < b.depth ? a.depth : b.depth;
  if (!k) return cmp3(a.depth, b.depth);
  comp x = at(a, k), y = at(b, k);
  if (x.parent == y.parent && same(x, y, c->treeicase)) return cmp3(a.depth, b.depth);  // an ancestor first
  while (x.parent != y.parent) {
    const fnode* px = x.parent;
    const fnode* py = y.parent;
    x = comp{px, px->name, px->parent, false, true};
    y = comp{py, py->name, py->parent, false, true};
  }
  int t = ftext_cmp(x.name, y.name, c->icase);
  if (!t) return walk_chains(a, b, c);
  return decide(x, y, t, c);
}

inline side path_side(const frec* r) {
  const fnode* n = r->pnode;
  return side{n->parent, n, n->name, frec_isdir(r), n->depth};
}

inline side rpath_side(const frec* r) {
  return side{r->rdnode, nullptr, r->name, frec_isdir(r), (unsigned)r->rdnode->depth + 1};
}

// The directory alone: its own node is the last component.
inline side dir_side(const frec* r) {
  const fnode* d = r->pnode->parent;
  return side{d->parent ? d->parent : d, d, d->name, true, d->depth};
}

int by_path(const frec* a, const frec* b, sortctx* c) { return cmp_chains(path_side(a), path_side(b), c); }
int by_rpath(const frec* a, const frec* b, sortctx* c) { return cmp_chains(rpath_side(a), rpath_side(b), c); }

// Every component of a directory chain is a directory, so the rule for files never applies.
int by_dir(const frec* a, const frec* b, sortctx* c) {
  if (a->pnode->parent == b->pnode->parent) return 0;
  return cmp_chains(dir_side(a), dir_side(b), c);
}

// The first eight bytes of a text, as the text rule orders them.
unsigned long long text8(const char*& s, bool icase) {
  unsigned long long v = 0;
  int i = 0;
  for (; i < 8 && *s; ++i, ++s) v = v << 8 | (icase ? g_ffold.t[(unsigned char)*s] : (unsigned char)*s);
  return i ? v << (8 * (8 - i)) : 0;
}

unsigned long long text_pre(const char* s, bool icase, unsigned long long* pre2) {
  unsigned long long v = text8(s, icase);
  if (pre2) *pre2 = text8(s, icase);
  return v;
}

unsigned long long pre_atime(const frec* r, const sortctx*, unsigned long long*) { return ft64(r->atime); }
unsigned long long pre_ctime(const frec* r, const sortctx*, unsigned long long*) { return ft64(r->ctime); }
unsigned long long pre_mtime(const frec* r, const sortctx*, unsigned long long*) { return ft64(r->mtime); }
unsigned long long pre_attr(const frec* r, const sortctx*, unsigned long long* pre2) {
  char s[16];
  fattrf_to_str(r->attr, s, sizeof s);
  return text_pre(s, false, pre2);
}
unsigned long long pre_size(const frec* r, const sortctx*, unsigned long long*) {
  if (frec_isdir(r)) return 0;
  return (r->size < ~0ull - 1 ? r->size : ~0ull - 1) + 1;
}
unsigned long long pre_name(const frec* r, const sortctx* c, unsigned long long* pre2) { return text_pre(r->name, c->icase, pre2); }
unsigned long long pre_ext(const frec* r, const sortctx* c, unsigned long long* pre2) { return text_pre(frec_ext(r), c->icase, pre2); }
unsigned long long pre_err(const frec* r, const sortctx*, unsigned long long*) {
  return (unsigned long long)((long long)r->errcode + 0x80000000ll) << 32;
}
unsigned long long pre_foerr(const frec* r, const sortctx*, unsigned long long*) {
  return (unsigned long long)((long long)r->foerrcode + 0x80000000ll) << 32;
}

constexpr struct {
  const char* id;
  fcmp_fn fn;
  fpre_fn pre;
} kIds[] = {
    {"ad", by_atime, pre_atime},   {"Bd", by_ctime, pre_ctime}, {"md", by_mtime, pre_mtime},
    {"attr", by_attr, pre_attr},   {"size", by_size, pre_size}, {"name", by_name, pre_name},
    {"ext", by_ext, pre_ext},      {"err", by_err, pre_err},    {"foerr", by_foerr, pre_foerr},
    {"dir", by_dir, nullptr},      {"path", by_path, nullptr},  {"rpath", by_rpath, nullptr},
};

inline bool key_sep(char ch) { return ch == ',' || ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

void build_chain(sortctx* c, const char* keys, unsigned flags) {
  bool rev = (flags & FLIST_REVERSE) != 0;
  if (flags & FLIST_DIRS_FIRST) c->chain[c->n++] = fcmp{by_dirorder, false, nullptr};
  bool ids = false, full = false;
  for (const char* p = keys ? keys : ""; *p;) {
    while (key_sep(*p)) ++p;
    if (!*p) break;
    const char* e = p;
    while (*e && !key_sep(*e)) ++e;
    unsigned len = (unsigned)(e - p);
    fcmp_fn fn = nullptr;
    fpre_fn pre = nullptr;
    for (const auto& k : kIds)
      if (std::strlen(k.id) == len && !std::strncmp(k.id, p, len)) fn = k.fn, pre = k.pre;
    if (!fn) {
      ERR_LOG(ERR_ERR, 9003, "Invalid sort id [%.*s] - ignored.", (int)len, p);
    } else if (c->n >= FLIST_MAX_SORT_IDS) {
      if (!full) ERR_LOG(ERR_ERR, 9009, "Max sort ids [%u] exceeded.", (unsigned)FLIST_MAX_SORT_IDS);
      full = true;
    } else {
      c->chain[c->n++] = fcmp{fn, rev, pre};
      ids = true;
    }
    p = e;
  }
  if (!ids) {
    c->n = 0;  // without a key the order of finding stands
    return;
  }
  c->chain[c->n++] = fcmp{by_seq, rev, nullptr};
  c->predir = (flags & FLIST_DIRS_FIRST) != 0;
  const fcmp& first = c->chain[c->predir ? 1 : 0];
  c->pre = first.pre;
  c->prerev = first.rev;
}

skey prefix(const frec* r, const sortctx* c) {
  skey k{r, 0, 0};
  if (c->pre) k.pre = c->pre(r, c, &k.pre2);
  if (c->predir) {
    // the lowest bit of the first number goes to the top of the second
    k.pre2 = (k.pre & 1) << 63 | k.pre2 >> 1;
    k.pre = (unsigned long long)(r->dirorder != FLIST_DIR_ORDER) << 63 | k.pre >> 1;
  }
  return k;
}

int run_chain(unsigned, const void* k1, unsigned, unsigned, const void* k2, unsigned, void* usrdata) {
  sortctx* c = static_cast<sortctx*>(usrdata);
  const skey* x = static_cast<const skey*>(k1);
  const skey* y = static_cast<const skey*>(k2);
  if (x->pre != y->pre || x->pre2 != y->pre2) {
    if (c->predir && (x->pre >> 63) != (y->pre >> 63)) return x->pre >> 63 ? 1 : -1;
    int r = x->pre != y->pre ? (x->pre < y->pre ? -1 : 1) : (x->pre2 < y->pre2 ? -1 : 1);
    return c->prerev ? -r : r;
  }
  const frec* a = x->r;
  const frec* b = y->r;
  for (unsigned i = 0; i < c->n; ++i) {
    int r = c->chain[i].fn(a, b, c);
    if (r) return c->chain[i].rev ? -r : r;
  }
  return 0;
}

int unsorted(flist* fl, bool rev) {
  unsigned n = array_count(&fl->found);
  for (unsigned i = 0; i < n; ++i) {
    void* r = *static_cast<void**>(array_get(&fl->found, rev ? n - 1 - i : i));
    int rc = array_set(&fl->display, i, r);
    if (rc) return rc;
  }
  return 0;
}

}  // namespace

int flist_sort(flist* fl, const char* keys, unsigned flags, flist_sort_cb cb, unsigned every, void* usrdata) {
  if (!fl) {
    ERR_LOG(ERR_ERR, 9003, "`flist' is NUL.");
    return 9003;
  }
  sortctx c{};
  c.icase = (flags & FLIST_IGNORECASE) != 0;
  c.pathdir1st = (flags & FLIST_PATHDIR_FIRST) != 0;
  c.treeicase = fl->ignorecase != 0;
  build_chain(&c, keys, flags);
  bool rev = (flags & FLIST_REVERSE) != 0;
  unsigned n = array_count(&fl->found);
  if (array_count(&fl->display) > n) array_delete(&fl->display, n, array_count(&fl->display) - n);
  if (!c.n) return unsorted(fl, rev);

  rbktree t{};
  int rc = rbktree_init(&t, sizeof(skey), 0xC2, run_chain, nullptr, nullptr, nullptr, &c, 8192);
  if (rc) return rc;
  for (unsigned i = 0; i < n; ++i) {
    const frec* r = *static_cast<frec* const*>(array_get(&fl->found, i));
    skey k = prefix(r, &c);
    if (!rbktree_insert(&t, &k, &rc)) break;
    if (cb && every && (i + 1) % every == 0 && (rc = cb((double)(i + 1) / n, usrdata)) != 0) break;
  }
  if (!rc) {
    unsigned i = 0;
    for (rbktree_node* p = rbktree_first(&t); p && !rc; p = rbktree_next(p))
      rc = array_set(&fl->display, i++, const_cast<frec*>(static_cast<const skey*>(rbktree_key(p))->r));
  }
  rbktree_free(&t);
  if (rc) unsorted(fl, rev);
  return rc;
}
