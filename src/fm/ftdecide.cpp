#include "fm/ftdecide.h"

#include <cstring>

#include "c/path.h"
#include "c/str.h"
#include "fm/ftext.h"

ft_act ft_copy_act(unsigned flags, int confirmed, int exists, int ro) {
  if (!exists || confirmed) return FT_ACT_DO;
  if (ro) {
    if (flags & FT_SKIP_RO) return FT_ACT_SKIP;
    return flags & FT_OVERWRITE_RO ? FT_ACT_DO : FT_ACT_ASK;
  }
  if (flags & FT_SKIP) return FT_ACT_SKIP;
  return flags & FT_OVERWRITE ? FT_ACT_DO : FT_ACT_ASK;
}

ft_act ft_del_act(unsigned flags, int confirmed, int ro) {
  if (confirmed) return FT_ACT_DO;
  if (!ro) return flags & FT_DEL ? FT_ACT_DO : FT_ACT_ASK;
  if (flags & FT_SKIP_DEL_RO) return FT_ACT_SKIP;
  return flags & FT_DEL_RO ? FT_ACT_DO : FT_ACT_ASK;
}

int ft_rel_dest(const char* base, const char* dir, const char* name, const char* to, char* buf, unsigned size) {
  if (!base || !dir || !name || !to || !buf || !size) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - base: `%s', dir: `%s', name: `%s', to: `%s', buf: %p, size: %u.",
            mox_nul(base), mox_nul(dir), mox_nul(name), mox_nul(to), static_cast<void*>(buf), size);
    return 9003;
  }
  size_t blen = strlen(base);
  while (blen && mox_is_sep(base[blen - 1])) --blen;
  const size_t dlen = strlen(dir);
  bool ok = dlen >= blen;
  for (size_t i = 0; ok && i < blen; ++i) {
    const unsigned char a = (unsigned char)base[i], b = (unsigned char)dir[i];
    ok = g_ffold.t[a] == g_ffold.t[b] || (mox_is_sep(base[i]) && mox_is_sep(dir[i]));
  }
  // "C:\ab\" is not below "C:\a"
  if (ok && dlen > blen && !mox_is_sep(dir[blen])) ok = false;
  if (!ok) {
    ERR_LOG(ERR_ERR, 9012, "Unexpected len - path[%u]: `%s', dir[%u]: `%s'.", (unsigned)blen, base, (unsigned)dlen,
            dir);
    return 9012;
  }
  const char* rel = dir + blen;
  while (mox_is_sep(*rel)) ++rel;
  const size_t tlen = strlen(to);
  const char* sep = tlen && mox_is_sep(to[tlen - 1]) ? "" : "\\";
  if (mox_snprintf(buf, size, "%s%s%s%s", to, sep, rel, name)) return 206;  // ERROR_FILENAME_EXCED_RANGE
  return 0;
}

unsigned ftdec_copy_flags(const ftdec* d, int askro) {
  if (!d) return 0;
  unsigned f = 0;
  if (d->skip) f |= FT_SKIP | FT_SKIP_RO;
  if (d->skip_ro) f |= FT_SKIP_RO;
  if (d->ow) f |= askro ? FT_OVERWRITE : FT_OVERWRITE | FT_OVERWRITE_RO;
  if (d->ow_ro) f |= FT_OVERWRITE | FT_OVERWRITE_RO;
  return f;
}

unsigned ftdec_del_flags(const ftdec* d) {
  if (!d) return 0;
  unsigned f = 0;
  if (d->del) f |= FT_DEL;
  if (d->del_ro) f |= FT_DEL_RO;
  if (d->skip_del_ro) f |= FT_SKIP_DEL_RO;
  return f;
}

ftdec_next ftdec_answer(ftdec* d, ft_need need, int answer, int askro, unsigned* flags) {
  if (!d || !flags) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - dec: %p, flags: %p.", static_cast<void*>(d), static_cast<void*>(flags));
    return FTDEC_STOP;
  }
  const bool del = need == FT_NEED_DEL || need == FT_NEED_DEL_RO;
  const bool ro = need == FT_NEED_OVERWRITE_RO || need == FT_NEED_DEL_RO;
  ftdec_next next = FTDEC_STOP;
  unsigned extra = 0;
  if (need == FT_NEED_NONE) answer = FT_ANS_CANCEL;
  switch (answer) {
    case FT_ANS_YES:
      next = FTDEC_RESTART;
      extra = FT_CONFIRMED;
      break;
    case FT_ANS_NO: next = FTDEC_SKIP; break;
    case FT_ANS_NOALL:
      next = FTDEC_SKIP;
      if (!del) (ro ? d->skip_ro : d->skip) = 1;
      else if (ro) d->skip_del_ro = 1;
      else next = FTDEC_STOP;  // no flag skips plain files: nothing more is deleted
      break;
    case FT_ANS_YESALL:
      next = FTDEC_RESTART;
      extra = FT_CONFIRMED;
      if (del) {
        d->del = 1;
        if (ro) d->del_ro = 1;
      } else {
        d->ow = 1;
        if (ro) d->ow_ro = 1;
      }
      break;
    default: next = FTDEC_STOP; break;
  }
  *flags = (del ? ftdec_del_flags(d) : ftdec_copy_flags(d, askro)) | extra;
  return next;
}
