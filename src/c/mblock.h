// Pool of fixed-size items taken in whole zero-filled blocks; an item never
// moves and no block is freed before the whole pool is, so item addresses stay
// valid for the pool's life. Every container of ds/ lives on one or more pools.
// A record starts zero-filled (`mblock x{}`): init releases what the record held.
#pragma once

#include <cstddef>

struct mblock {
  unsigned itemsize;     // bytes per item, non-zero
  unsigned nblockitems;  // items per block (0 at init: 128)
  unsigned ngrow;        // least number of table slots added when the table grows (0: 64)
  unsigned blocksize;    // itemsize * nblockitems
  unsigned nblocks;      // blocks allocated so far
  void** blocks;         // block table, owned
  unsigned maxblocks;    // slots in the block table
};

enum { MBLOCK_DFLT_NBLOCKITEMS = 128, MBLOCK_DFLT_NGROW = 64 };

// Callback shapes shared by the containers. `type' is the container's opaque
// type word (the value type for value containers); the two size arguments are
// always 0 from the containers and exist to match the value conversion.
typedef int (*item_init_cb)(unsigned type, void* data, unsigned* size, unsigned* maxsize, void* usrdata);
typedef int (*item_release_cb)(unsigned type, void* data, unsigned* size, unsigned* maxsize, void* usrdata);
typedef int (*item_copy_cb)(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype,
                            const void* src, unsigned srcsize, void* usrdata);
// negative, 0 or positive as key1 sorts before, with or after key2
typedef int (*item_cmp_cb)(unsigned type1, const void* key1, unsigned size1, unsigned type2, const void* key2,
                           unsigned size2, void* usrdata);

int mblock_init(mblock* mb, unsigned itemsize, unsigned nblockitems = 0, unsigned ngrow = 0);
int mblock_reinit(mblock* mb);
int mblock_free(mblock* mb);
int mblock_clear(mblock* mb);
int mblock_add(mblock* mb, unsigned nitems);
int mblock_add1(mblock* mb);

// Item idx counted over all blocks in order, or nullptr past the last block.
void* mblock_item(const mblock* mb, unsigned idx);
// Items the allocated blocks hold: nblocks * nblockitems.
inline unsigned mblock_capacity(const mblock* mb) { return mb ? mb->nblocks * mb->nblockitems : 0; }
