#include "fm/win32/fmvdlg.h"

int fmvdlg_init(fmvdlg* d) {
  int rc = fcpdlg_init(d);
  if (!rc) d->move = 1;
  return rc;
}

int fmvdlg_free(fmvdlg* d) { return fcpdlg_free(d); }

int fmvdlg_open(fmvdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (d) d->move = 1;
  return fcpdlg_open(d, cfg, env, recs, owner, pr);
}

int fmvdlg_create(fmvdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (d) d->move = 1;
  return fcpdlg_create(d, cfg, env, recs, owner, pr);
}
