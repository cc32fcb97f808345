#include "ds/rbktree.h"

int rbktree_init(rbktree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                 item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems,
                 unsigned ngrow) {
  return rbtree_setup(t, true, keysize, keytype, cmp_cb, keycopy_cb, keyrelease_cb, keyinit_cb, 0, 0, nullptr, nullptr,
                      nullptr, usrdata, nblockitems, ngrow);
}

int rbktree_init_as(rbktree* t, const rbktree* src, void* usrdata) { return rbtree_setup_as(t, src, usrdata, true); }
