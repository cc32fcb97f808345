#include "fm/flist.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "c/str.h"
#include "ds/list.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/ftext.h"
#include "quarn/quarnlib.h"

namespace {

constexpr unsigned kNodeBlock = 4096;
constexpr unsigned kRecBlock = 2048;
constexpr unsigned kFirstBuckets = 1024;
constexpr unsigned kChunk = 64 * 1024;
constexpr unsigned kScratch = 32768;  // the longest directory text taken

// --- texts that live as long as the list ------------------------------------------

char* pool_copy(fstrpool* p, const char* s, unsigned n) {
  if (n + 1 > p->left) {
    // long texts get a chunk of their own; the current one stays for the short
    unsigned size = n + 1 > kChunk / 4 ? n + 1 + sizeof(char*) : kChunk;
    char* c = static_cast<char*>(std::malloc(size));
    if (!c) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", size);
      return nullptr;
    }
    *reinterpret_cast<char**>(c) = p->chunks;
    p->chunks = c;
    if (size == kChunk) {
      p->cur = c + sizeof(char*);
      p->left = kChunk - sizeof(char*);
    } else {
      char* t = c + sizeof(char*);
      std::memcpy(t, s, n);
      t[n] = 0;
      return t;
    }
  }
  char* t = p->cur;
  std::memcpy(t, s, n);
  t[n] = 0;
  p->cur += n + 1;
  p->left -= n + 1;
  return t;
}

void pool_free(fstrpool* p) {
  for (char* c = p->chunks; c;) {
    char* next = *reinterpret_cast<char**>(c);
    std::free(c);
    c = next;
  }
  std::memset(p, 0, sizeof *p);
}

// --- pools of fixed items ------------------------------------------------------------

void* take_item(mblock* mb, unsigned idx, int* err) {
  if (idx >= mblock_capacity(mb)) {
    int rc = mblock_add1(mb);
    if (rc) {
      *err = rc;
      return nullptr;
    }
  }
  return mblock_item(mb, idx);
}

// --- component trees -------------------------------------------------------------------

int tree_init(ftree* t) {
  std::memset(t, 0, sizeof *t);
  int rc = mblock_init(&t->nodes, sizeof(fnode), kNodeBlock, 0);
  if (rc) return rc;
  t->root.flags = FNODE_DIR;
  t->root.name = "";
  return 0;
}

void tree_free(ftree* t) {
  mblock_free(&t->nodes);
  std::free(t->buckets);
  std::memset(t, 0, sizeof *t);
}

fnode* tree_find(const ftree* t, const fnode* parent, const char* name, unsigned len, unsigned h, bool icase) {
  if (!t->nbuckets) return nullptr;
  for (fnode* n = t->buckets[h & (t->nbuckets - 1)]; n; n = n->hnext)
    if (n->hash == h && n->parent == parent && ftext_eqn(n->name, name, len, icase)) return n;
  return nullptr;
}

int tree_rehash(ftree* t, unsigned nb) {
  fnode** b = static_cast<fnode**>(std::calloc(nb, sizeof(fnode*)));
  if (!b) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(nb * sizeof(fnode*)));
    return 9004;
  }
  for (unsigned i = 0; i < t->count; ++i) {
    fnode* n = static_cast<fnode*>(mblock_item(&t->nodes, i));
    fnode** head = &b[n->hash & (nb - 1)];
    n->hnext = *head;
    *head = n;
  }
  std::free(t->buckets);
  t->buckets = b;
  t->nbuckets = nb;
  return 0;
}

// name: a text of the list's pool
fnode* tree_add(ftree* t, fnode* parent, const char* name, unsigned h, unsigned short flags, int* err) {
  if (t->count >= t->nbuckets) {
    int rc = tree_rehash(t, t->nbuckets ? t->nbuckets * 2 : kFirstBuckets);
    if (rc) {
      *err = rc;
      return nullptr;
    }
  }
  fnode* n = static_cast<fnode*>(take_item(&t->nodes, t->count, err));
  if (!n) return nullptr;
  n->parent = parent;
  n->name = name;
  n->rec = nullptr;
  n->hash = h;
  n->depth = (unsigned short)(parent->depth + 1);
  n->flags = flags;
  fnode** head = &t->buckets[h & (t->nbuckets - 1)];
  n->hnext = *head;
  *head = n;
  ++t->count;
  return n;
}

// --- directory texts ---------------------------------------------------------------

int dirset_cmp(unsigned, const void* k1, unsigned, unsigned, const void* k2, unsigned, void* usrdata) {
  const flist* fl = static_cast<const flist*>(usrdata);
  return ftext_cmp(*static_cast<const char* const*>(k1), *static_cast<const char* const*>(k2), fl->ignorecase != 0);
}

int dirset_init(fdirset* ds, flist* fl) {
  std::memset(ds, 0, sizeof *ds);
  return rbtree_init(&ds->set, sizeof(char*), 0xC2, dirset_cmp, nullptr, nullptr, nullptr, sizeof(fnode*), 0xC2,
                     nullptr, nullptr, nullptr, fl);
}

// Length without trailing separators; one after a drive colon stays.
unsigned strip_len(const char* s, unsigned len) {
  while (len > 1 && fsep(s[len - 1]) && s[len - 2] != ':') --len;
  return len;
}

// A directory text without its trailing separator, split into its parent (with the
// separator) and its last component. The trees and the records of search roots are both
// cut by this one rule, so they always agree on the components.
void split_last(const char* s, unsigned len, unsigned* plen, unsigned* noff, unsigned* nlen) {
  len = strip_len(s, len);
  unsigned start = 0;
  for (unsigned j = len >= 2 ? len - 1 : 0; j > 0; --j)
    if (fsep(s[j - 1])) {
      start = j;
      break;
    }
  *plen = start;
  *noff = start;
  *nlen = len - start;
}

// The interned directory scratch[0, len): its node and text, or nullptr.
fnode* known(flist* fl, fdirset* ds, unsigned len, const char** text) {
  char* s = fl->scratch;
  char save = s[len];
  s[len] = 0;
  const char* key = s;
  rbtree_node* found = rbtree_find(&ds->set, &key);
  s[len] = save;
  if (!found) return nullptr;
  *text = *static_cast<const char**>(rbtree_key(found));
  return *static_cast<fnode**>(rbtree_val(&ds->set, found));
}

// The child of parent for the last component of scratch[0, len), interned as a directory.
fnode* make_dir(flist* fl, ftree* t, fdirset* ds, fnode* parent, unsigned len, const char** text, int* err) {
  char* s = fl->scratch;
  unsigned plen, noff, nlen;
  split_last(s, len, &plen, &noff, &nlen);
  bool icase = fl->ignorecase != 0;
  unsigned h = ftext_hash(parent, s + noff, nlen, icase);
  fnode* n = tree_find(t, parent, s + noff, nlen, h, icase);
  if (n) {
    n->flags |= FNODE_DIR;
  } else {
    const char* name = pool_copy(&fl->strs, s + noff, nlen);
    if (!name) {
      *err = 9004;
      return nullptr;
    }
    if (!(n = tree_add(t, parent, name, h, FNODE_DIR, err))) return nullptr;
  }
  const char* copy = pool_copy(&fl->strs, s, len);
  if (!copy) {
    *err = 9004;
    return nullptr;
  }
  if (!rbtree_insert(&ds->set, &copy, &n, err)) return nullptr;
  *text = copy;
  return n;
}

// The node of the directory scratch[0, len), interning it and every parent not yet known:
// up to the nearest known one, then down again (no recursion: a text may have thousands
// of components).
fnode* intern_buf(flist* fl, ftree* t, fdirset* ds, unsigned len, const char** text, int* err) {
  unsigned local[64];
  unsigned* ends = local;
  unsigned n = 0, cap = 64;
  fnode* node = &t->root;
  *text = "";
  for (unsigned cur = len; cur;) {
    if (fnode* k = known(fl, ds, cur, text)) {
      node = k;
      break;
    }
    if (n == cap) {
      unsigned* more = static_cast<unsigned*>(std::malloc(2 * cap * sizeof(unsigned)));
      if (!more) {
        ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(2 * cap * sizeof(unsigned)));
        if (ends != local) std::free(ends);
        *err = 9004;
        return nullptr;
      }
      std::memcpy(more, ends, n * sizeof(unsigned));
      if (ends != local) std::free(ends);
      ends = more;
      cap *= 2;
    }
    ends[n++] = cur;
    unsigned noff, nlen;
    split_last(fl->scratch, cur, &cur, &noff, &nlen);
  }
  while (node && n) node = make_dir(fl, t, ds, node, ends[--n], text, err);
  if (ends != local) std::free(ends);
  return node;
}

fnode* intern(flist* fl, ftree* t, fdirset* ds, const char* text, unsigned len, const char** interned, int* err) {
  if (ds->last && std::strncmp(ds->last, text, len) == 0 && ds->last[len] == 0) {
    *interned = ds->last;
    return ds->lastnode;
  }
  if (len >= kScratch) {
    ERR_LOG(ERR_ERR, 9005, "Dir too long - len: %u, size: %u.", len, kScratch);
    *err = 9005;
    return nullptr;
  }
  std::memcpy(fl->scratch, text, len);
  fl->scratch[len] = 0;
  fnode* n = intern_buf(fl, t, ds, len, interned, err);
  if (n) {
    ds->last = *interned;
    ds->lastnode = n;
  }
  return n;
}

// --- reading the orders ------------------------------------------------------------------

// The slot read straight from its block: a reader on another thread must not look at
// the array's counters, which the writer keeps changing.
inline frec* slot_rec(const array* a, unsigned i) {
  void* const* blk = static_cast<void* const*>(a->mb.blocks[i / FLIST_NBLOCKITEMS]);
  return static_cast<frec*>(blk[i % FLIST_NBLOCKITEMS]);
}

int order_init(array* a) {
  int rc = array_init(a, 0xC2, nullptr, nullptr, FLIST_NBLOCKITEMS);
  if (rc) return rc;
  // the block table is made whole at the first add and never moves afterwards
  a->mb.ngrow = FLIST_MAXBLOCKS;
  return 0;
}

void free_texts(flist* fl) {
  unsigned n = array_count(&fl->found);
  for (unsigned i = 0; i < n; ++i) {
    frec* r = slot_rec(&fl->found, i);
    std::free(r->errtext);
    std::free(r->foerrtext);
    r->errtext = r->foerrtext = nullptr;
  }
}

bool is_dots(const char* s, unsigned n) { return (n == 1 && s[0] == '.') || (n == 2 && s[0] == '.' && s[1] == '.'); }

int add_rec(flist* fl, const qnd* d, fnode* dn, const char* dir, const char* name, unsigned nlen, unsigned rlen);

int check_fl(const flist* fl) {
  if (!fl) {
    ERR_LOG(ERR_ERR, 9003, "`flist' is NUL.");
    return 9003;
  }
  return 0;
}

}  // namespace

int flist_init(flist* fl, int ignorecase) {
  if (check_fl(fl)) return 9003;
  if (fl->scratch) flist_free(fl);
  std::memset(fl, 0, sizeof *fl);
  fl->ignorecase = ignorecase ? 1 : 0;
  int rc;
  if ((rc = tree_init(&fl->paths)) || (rc = tree_init(&fl->rpaths)) || (rc = dirset_init(&fl->dirs, fl)) ||
      (rc = dirset_init(&fl->rdirs, fl)) || (rc = order_init(&fl->found)) || (rc = order_init(&fl->display)) ||
      (rc = mblock_init(&fl->recs, sizeof(frec), kRecBlock, 0))) {
    flist_free(fl);
    return rc;
  }
  if (!(fl->scratch = static_cast<char*>(std::malloc(kScratch)))) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", kScratch);
    flist_free(fl);
    return 9004;
  }
  return 0;
}

int flist_free(flist* fl) {
  if (check_fl(fl)) return 9003;
  if (fl->found.mb.itemsize) free_texts(fl);
  array_free(&fl->found);
  array_free(&fl->display);
  rbtree_free(&fl->dirs.set);
  rbtree_free(&fl->rdirs.set);
  tree_free(&fl->paths);
  tree_free(&fl->rpaths);
  mblock_free(&fl->recs);
  pool_free(&fl->strs);
  std::free(fl->scratch);
  std::memset(fl, 0, sizeof *fl);
  return 0;
}

int flist_clear(flist* fl) {
  if (check_fl(fl)) return 9003;
  int icase = fl->ignorecase;
  flist_free(fl);
  return flist_init(fl, icase);
}

int flist_add(flist* fl, const qnd* d) {
  if (!fl || !d) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - flist: %p, qnd: %p.", (const void*)fl, (const void*)d);
    return 9003;
  }
  if (!d->dir || !d->rdir) {
    ERR_LOG(ERR_ERR, 9012, "Unexpected - qnd.dir: `%s', qnd.rdir: `%s'.", mox_nul(d->dir), mox_nul(d->rdir));
    return 9012;
  }
  if (!fl->scratch) {
    ERR_LOG(ERR_ERR, 9012, "Unexpected - flist: %p not initialised.", (const void*)fl);
    return 9012;
  }
  if (array_count(&fl->found) >= FLIST_MAX) {
    ERR_LOG(ERR_ERR, 9009, "Max entries [%u] exceeded.", (unsigned)FLIST_MAX);
    return 9009;
  }
  int err = 0;
  const char *dir, *name;
  unsigned dlen = (unsigned)std::strlen(d->dir), rlen = (unsigned)std::strlen(d->rdir), nlen;
  if (d->name) {
    name = d->name;
    nlen = strip_len(name, (unsigned)std::strlen(name));
  } else {
    // a search root: its parent is the directory, its last component the name
    unsigned noff, rnoff, rnlen;
    split_last(d->dir, dlen, &dlen, &noff, &nlen);
    name = d->dir + noff;
    split_last(d->rdir, rlen, &rlen, &rnoff, &rnlen);
    if (is_dots(name, nlen) && rnlen) {
      // "." or ".." names no file: the record takes the real name, and the directory as
      // found goes one up, so that both paths still lead to the same directory
      unsigned len = (unsigned)std::strlen(d->dir);
      char* up = static_cast<char*>(std::malloc(len + 5));
      if (!up) {
        ERR_LOG(ERR_ERR, 9004, "size: %u.", len + 5);
        return 9004;
      }
      std::memcpy(up, d->dir, len);
      if (!len || !fsep(up[len - 1])) up[len++] = '\\';
      std::memcpy(up + len, "..\\", 4);
      fnode* dn = intern(fl, &fl->paths, &fl->dirs, up, len + 3, &dir, &err);
      std::free(up);
      if (!dn) return err;
      return add_rec(fl, d, dn, dir, d->rdir + rnoff, rnlen, rlen);
    }
  }
  fnode* dn = intern(fl, &fl->paths, &fl->dirs, d->dir, dlen, &dir, &err);
  if (!dn) return err;
  return add_rec(fl, d, dn, dir, name, nlen, rlen);
}

namespace {

// The record of d under the directory node dn (its text dir), named by the nlen bytes at
// name, its real directory the first rlen bytes of d->rdir.
int add_rec(flist* fl, const qnd* d, fnode* dn, const char* dir, const char* name, unsigned nlen, unsigned rlen) {
  int err = 0;
  unsigned idx = array_count(&fl->found);
  const char* rdir;
  fnode* rdn = intern(fl, &fl->rpaths, &fl->rdirs, d->rdir, rlen, &rdir, &err);
  if (!rdn) return err;

  bool icase = fl->ignorecase != 0;
  unsigned h = ftext_hash(dn, name, nlen, icase);
  fnode* pn = tree_find(&fl->paths, dn, name, nlen, h, icase);
  // A node without a record is a directory known only as the parent of earlier entries
  // (a deeper search path searched first): it takes the record.
  if (pn && pn->rec) return 0;
  if (!pn) {
    const char* copy = pool_copy(&fl->strs, name, nlen);
    if (!copy) return 9004;
    if (!(pn = tree_add(&fl->paths, dn, copy, h, 0, &err))) return err;
  }

  frec* r = static_cast<frec*>(take_item(&fl->recs, idx, &err));
  if (!r) return err;
  std::memset(r, 0, sizeof *r);
  r->dir = dir;
  r->rdir = rdir;
  r->name = pn->name;
  r->pnode = pn;
  r->rdnode = rdn;
  r->seq = idx;
  r->attr = d->fd.dwFileAttributes;
  r->ctime = d->fd.ftCreationTime;
  r->atime = d->fd.ftLastAccessTime;
  r->mtime = d->fd.ftLastWriteTime;
  r->size = (unsigned long long)d->fd.nFileSizeHigh << 32 | d->fd.nFileSizeLow;
  r->dirorder = frec_isdir(r) ? FLIST_DIR_ORDER : FLIST_FILE_ORDER;
  const char* dot = std::strrchr(r->name, '.');
  r->ext = dot && dot != r->name && dot - r->name < 0x7FFF ? (short)(dot - r->name) : (short)-1;
  r->errcode = (int)d->errcode;
  if (d->errtext) {
    unsigned len = (unsigned)std::strlen(d->errtext);
    if (!(r->errtext = mox_strndup(d->errtext, len, &err))) {
      ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", len);
      return 9004;
    }
  }
  if ((err = array_append(&fl->found, r)) != 0) {
    std::free(r->errtext);
    return err;
  }
  if ((err = array_append(&fl->display, r)) != 0) {
    array_delete(&fl->found, idx, 1);
    std::free(r->errtext);
    return err;
  }
  if (frec_isdir(r)) pn->flags |= FNODE_DIR;
  pn->rec = r;
  __atomic_store_n(&fl->n, idx + 1, __ATOMIC_RELEASE);
  return 0;
}

}  // namespace

unsigned flist_count(const flist* fl) { return fl ? __atomic_load_n(&fl->n, __ATOMIC_ACQUIRE) : 0; }

frec* flist_get(const flist* fl, unsigned i) {
  if (check_fl(fl)) return nullptr;
  if (i >= flist_count(fl)) {
    ERR_LOG(ERR_ERR, 9003, "`ai' is NULL - idx: %u.", i);
    return nullptr;
  }
  return slot_rec(&fl->display, i);
}

frec* flist_get_found(const flist* fl, unsigned i) {
  if (check_fl(fl)) return nullptr;
  if (i >= flist_count(fl)) {
    ERR_LOG(ERR_ERR, 9003, "`ai' is NULL - idx: %u.", i);
    return nullptr;
  }
  return slot_rec(&fl->found, i);
}

int flist_set_foerr(frec* r, int code, const char* text) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`frec' is NUL.");
    return 9003;
  }
  char* copy = nullptr;
  if (text) {
    int err = 0;
    unsigned len = (unsigned)std::strlen(text);
    if (!(copy = mox_strndup(text, len, &err))) {
      ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", len);
      return 9004;
    }
  }
  std::free(r->foerrtext);
  r->foerrtext = copy;
  r->foerrcode = code;
  return 0;
}

int flist_fullpaths(const list* recs, wchar_t sep, wchar_t* buf, unsigned size) {
  if (!recs || !buf || !size) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - recs: %p, buf: %p, size: %u.", (const void*)recs, (void*)buf, size);
    return 9003;
  }
  unsigned pos = 0;
  for (list_node* n = list_first(recs); n; n = list_next(n)) {
    const frec* r = static_cast<const frec*>(list_v_ptr(n));
    if (!r) continue;
    for (const char* s : {r->rdir, r->name}) {
      int len = (int)std::strlen(s);
      if (!len) continue;
      int need = MultiByteToWideChar(CP_ACP, 0, s, len, nullptr, 0);
      if (need <= 0) {
        ERR_LOG(ERR_ERR, 9001, "mox_mbstowcs() failed - size: %u/%u.", size - pos, size);
        return 9001;
      }
      // room for this text, its end and the list's last zero
      if (pos + (unsigned)need + 2 > size) {
        ERR_LOG(ERR_ERR, 9005, "Buf too small - str_size: %u.", size);
        buf[0] = 0;
        return 9005;
      }
      int err = 0;
      mox_mbstowcs(buf + pos, (unsigned)need + 1, CP_ACP, s, len, &err);
      if (err) {
        ERR_LOG(ERR_ERR, err, "mox_mbstowcs() failed - size: %u/%u.", size - pos, size);
        buf[0] = 0;
        return err;
      }
      pos += (unsigned)need;
    }
    if (pos + 2 > size) {
      ERR_LOG(ERR_ERR, 9005, "Buf too small - str_size: %u.", size);
      buf[0] = 0;
      return 9005;
    }
    buf[pos++] = sep ? sep : L'\0';
  }
  buf[pos] = 0;
  return 0;
}
