#include "quarnw/progr.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "quarnw/quarnwcfg.h"

namespace {
constexpr unsigned kDefaultTimeout = 500;
}

int progr_init(progr* p, const quarnwcfg* cfg) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  if (p->mtx.h) mutex_free(&p->mtx);
  memset(p, 0, sizeof *p);
  p->cfg = cfg;
  return mutex_init(&p->mtx);
}

int progr_free(progr* p) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  const int rc = p->mtx.h ? mutex_free(&p->mtx) : 0;
  memset(p, 0, sizeof *p);
  return rc;
}

int progr_lock(progr* p) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  const int t = p->cfg ? p->cfg->progress_lockTimeout : (int)kDefaultTimeout;
  return mutex_lock(&p->mtx, t < 0 ? MUTEX_INFINITE : (unsigned long)t);
}

int progr_unlock(progr* p) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  return mutex_unlock(&p->mtx);
}

int progr_set_text(progr* p, const char* text) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  int rc = 0;
  mox_strcpy(p->text, sizeof p->text, text ? text : "", &rc);
  return rc;
}

int progr_reset(progr* p) {
  if (!p) {
    ERR_LOG(ERR_ERR, 9003, "`progr' is NUL.");
    return 9003;
  }
  p->text[0] = 0;
  p->cancel = 0;
  p->cancelled = 0;
  return 0;
}

int progr_cancel(progr* p) {
  int rc = progr_lock(p);
  if (rc) return rc;
  p->cancel = 1;
  return progr_unlock(p);
}
