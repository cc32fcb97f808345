#include "ds/rbktree_v.h"

int rbktree_v_init(rbktree* t, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                   item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems,
                   unsigned ngrow) {
  return rbtree_v_setup(t, true, keytype, cmp_cb, keycopy_cb, keyrelease_cb, keyinit_cb, 0, nullptr, nullptr, nullptr,
                        usrdata, nblockitems, ngrow);
}
