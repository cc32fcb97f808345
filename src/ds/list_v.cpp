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

const void* list_v_value(unsigned type, const void* slot) {
  return type == VAL_STR || type == VAL_PTR ? *static_cast<void* const*>(slot) : slot;
}

// a null text or pointer has no value to copy: the node keeps its initial (empty) value
int list_v_cp(list* l, const list* src) { return list_cp_by(l, src, list_v_value); }
