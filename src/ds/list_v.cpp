#include "ds/list_v.h"

#include "c/val.h"
#include "err/err.h"

int list_v_valtype_ok(unsigned valtype) {
  return valtype == VAL_INT || valtype == VAL_DOUBLE || valtype == VAL_STR || valtype == VAL_PTR;
}

int list_v_copy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype, const void* src,
                unsigned srcsize, void*) {
  if (!dst || !src) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - val: %p, src: %p.", dst, src);
    return 9003;
  }
  if ((dsttype == VAL_STR || dsttype == VAL_PTR) && srctype == dsttype) {
    *static_cast<const void**>(dst) = src;
    return 0;
  }
  return val_set(dsttype, dst, dstsize, dstmaxsize, srctype, src, srcsize);
}

int list_v_initval(unsigned type, void* data, unsigned* size, unsigned* maxsize, void*) {
  return val_clear(type, data, size, maxsize);
}

int list_v_init(list* l, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, item_init_cb init_cb,
                void* usrdata, unsigned nblockitems, unsigned ngrow) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!list_v_valtype_ok(valtype)) {
    ERR_LOG(ERR_ERR, 9003, "List invalid valtype [%#X].", valtype);
    return 9003;
  }
  return list_init(l, 8, valtype, copy_cb ? copy_cb : list_v_copy, release_cb, init_cb ? init_cb : list_v_initval,
                   usrdata, nblockitems, ngrow);
}

int list_v_cp(list* l, const list* src) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!src || src == l) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, src: %p.", (void*)l, (const void*)src);
    return 9003;
  }
  int rc = list_init(l, src->datasize, src->type, src->copy_cb, src->release_cb, src->init_cb, src->usrdata,
                     src->mb.nblockitems, src->mb.ngrow);
  if (rc) return rc;
  bool byptr = src->type == VAL_STR || src->type == VAL_PTR;
  for (list_node* n = src->head; n; n = n->next) {
    const void* v = byptr ? *static_cast<void* const*>(list_data(n)) : list_data(n);
    // a null text or pointer has no value to copy: the node keeps its initial (empty) value
    list_append(l, v, &rc);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "List `cp' failed - list: %p, src: %p, src_item: %p.", (void*)l, (const void*)src, (void*)n);
      return rc;
    }
  }
  return 0;
}
