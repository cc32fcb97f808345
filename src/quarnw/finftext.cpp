#include "quarnw/finftext.h"

#include <string>

#include "c/str.h"
#include "err/err.h"
#include "fm/flist.h"
#include "txr/txr.h"

namespace {

constexpr const char* kCtx = "finfdlg.file";

std::string cell(const frec* r, int col, const flistcell_fmt* f) {
  flistcell_fmt plain = *f;
  plain.mark_moved = plain.mark_deleted = "";
  plain.file_type = 0;
  char b[1024];
  flistcell_text(r, col, &plain, b, sizeof b);
  return b;
}

}  // namespace

int finf_text(const frec* r, const flistcell_fmt* f, const txr* tx, char* buf, unsigned bufsize, int* has_err) {
  if (has_err) *has_err = 0;
  if (!f || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - f: %p, buf: %p, bufsize: %u.", (const void*)f, (void*)buf, bufsize);
    return 9003;
  }
  *buf = 0;
  if (!r) return 0;
  auto label = [tx](const char* id) { return std::string(tx ? txr_get(tx, kCtx, id) : id); };

  char first[4096 + 64];
  flistcell_text(r, FLCOL_PATH, f, first, sizeof first);  // the mark, then the path
  std::string text = first;

  if (!r->errcode) {
    std::string facts;
    auto fact = [&](const char* id, const std::string& v) {
      if (v.empty()) return;
      if (!facts.empty()) facts += "; ";
      facts += label(id) + ": " + v;
    };
    fact("Modif.", cell(r, FLCOL_MD, f));
    fact("Creat.", cell(r, FLCOL_BD, f));
    if (!(r->attr & 0x10)) fact("Size", cell(r, FLCOL_SIZE, f));
    fact("Attr.", cell(r, FLCOL_ATTR, f));
    if (!facts.empty()) text += "\r\n" + facts;
  } else {
    char e[4200];
    if (r->errtext && *r->errtext)
      mox_snprintf(e, sizeof e, " [%d] %s", r->errcode, r->errtext);
    else
      mox_snprintf(e, sizeof e, " [%d]", r->errcode);
    text += "\r\n" + label("Err.") + ":" + e;
  }
  if (r->foerrcode || (r->foerrtext && *r->foerrtext)) {
    text += "\r\n" + label("Err.(FO)") + ":";
    if (r->foerrcode) text += " [" + std::to_string(r->foerrcode) + "]";
    if (r->foerrtext && *r->foerrtext) text += std::string(" ") + r->foerrtext;
  }
  if (has_err) *has_err = r->errcode || r->foerrcode || (r->foerrtext && *r->foerrtext);
  int rc = 0;
  mox_strcpy(buf, bufsize, text.c_str(), &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u.", bufsize);
  return rc;
}
