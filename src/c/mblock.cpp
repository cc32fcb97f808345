#include "c/mblock.h"

#include <cstdlib>
#include <cstring>

#include "err/err.h"

int mblock_init(mblock* mb, unsigned itemsize, unsigned nblockitems, unsigned ngrow) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  if (!itemsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - mblock: %p, itemsize: %u.", (void*)mb, itemsize);
    return 9003;
  }
  if (!nblockitems) nblockitems = MBLOCK_DFLT_NBLOCKITEMS;
  if (!ngrow) ngrow = MBLOCK_DFLT_NGROW;
  // a block must be addressable with the 32-bit size every caller works in
  if (itemsize > 0xFFFFFFFFu / nblockitems) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - mblock: %p, itemsize: %u, nblockitems: %u.", (void*)mb, itemsize,
            nblockitems);
    return 9003;
  }
  mblock_free(mb);
  mb->itemsize = itemsize;
  mb->nblockitems = nblockitems;
  mb->ngrow = ngrow;
  mb->blocksize = itemsize * nblockitems;
  return 0;
}

int mblock_reinit(mblock* mb) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  return mblock_init(mb, mb->itemsize, mb->nblockitems, mb->ngrow);
}

int mblock_free(mblock* mb) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  for (unsigned i = 0; i < mb->nblocks; ++i) std::free(mb->blocks[i]);
  std::free(mb->blocks);
  return mblock_clear(mb);
}

int mblock_clear(mblock* mb) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  std::memset(mb, 0, sizeof *mb);
  return 0;
}

int mblock_add(mblock* mb, unsigned nitems) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  if (!mb->itemsize || !mb->nblockitems) {
    ERR_LOG(ERR_ERR, 9003, "Invalid `mblock' [%p] - itemsize: %u, nblockitems: %u.", (void*)mb, mb->itemsize,
            mb->nblockitems);
    return 9003;
  }
  if (!nitems) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - mblock: %p, nitems: %u.", (void*)mb, nitems);
    return 9003;
  }
  unsigned needed = nitems / mb->nblockitems + (nitems % mb->nblockitems ? 1 : 0);
  if (needed > 0xFFFFFFFFu - mb->nblocks) {
    ERR_LOG(ERR_ERR, 9009, "Too many blocks - nblocks: %u, needed: %u.", mb->nblocks, needed);
    return 9009;
  }
  if (mb->nblocks + needed > mb->maxblocks) {
    unsigned grow = needed > mb->ngrow ? needed : mb->ngrow;
    size_t nslots = (size_t)mb->maxblocks + grow;
    size_t size = nslots * sizeof(void*);
    if (nslots > 0xFFFFFFFFu || size / sizeof(void*) != nslots) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)size);
      return 9004;
    }
    void** table = static_cast<void**>(std::malloc(size));
    if (!table) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)size);
      return 9004;
    }
    if (mb->nblocks) std::memcpy(table, mb->blocks, mb->nblocks * sizeof(void*));
    std::memset(table + mb->nblocks, 0, (nslots - mb->nblocks) * sizeof(void*));
    std::free(mb->blocks);
    mb->blocks = table;
    mb->maxblocks = (unsigned)nslots;
  }
  for (unsigned i = 0; i < needed; ++i) {
    void* block = std::calloc(1, mb->blocksize);
    if (!block) {
      ERR_LOG(ERR_ERR, 9004, "blocksize: %u.", mb->blocksize);
      return 9004;
    }
    mb->blocks[mb->nblocks++] = block;
  }
  return 0;
}

int mblock_add1(mblock* mb) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return 9003;
  }
  return mblock_add(mb, mb->nblockitems ? mb->nblockitems : 1);
}

void* mblock_item(const mblock* mb, unsigned idx) {
  if (!mb) {
    ERR_LOG(ERR_ERR, 9003, "`mblock' is NUL.");
    return nullptr;
  }
  if (!mb->nblockitems) return nullptr;
  unsigned b = idx / mb->nblockitems;
  if (b >= mb->nblocks) return nullptr;
  return static_cast<char*>(mb->blocks[b]) + (size_t)(idx % mb->nblockitems) * mb->itemsize;
}
