#include "fm/win32/fcfmdlg.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "txr/txr.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;

struct TypeText {
  int type;
  const char* word;
  const char* title[2];  // file, directory
  const char* msg[2];
};

constexpr TypeText kTypes[] = {
    {FCFM_OVERWRITE, "overwrite", {"Overwrite File", "Overwrite File"}, {"Overwrite this file?", "Overwrite this file?"}},
    {FCFM_OVERWRITE_RO,
     "overwriteRO",
     {"Overwrite Read-Only File", "Overwrite Read-Only File"},
     {"Overwrite this READ-ONLY file?", "Overwrite this READ-ONLY file?"}},
    {FCFM_DEL, "del", {"Delete File", "Delete Directory"}, {"Delete this file?", "Delete this directory?"}},
    {FCFM_DEL_RO,
     "delRO",
     {"Delete Read-Only File", "Delete Read-Only Directory"},
     {"Delete this READ-ONLY file?", "Delete this READ-ONLY directory?"}},
    {FCFM_DEL_RO_INDIR,
     "delROIndir",
     {"Delete Read-Only File", "Delete Read-Only Directory"},
     {"This directory contains READ-ONLY file(s). Delete?", "This directory contains READ-ONLY file(s). Delete?"}},
    {FCFM_PERMDEL,
     "permdel",
     {"Delete File", "Delete Directory"},
     {"PERMANENTLY delete this file?", "PERMANENTLY delete this directory?"}},
    {FCFM_PERMDEL_RO,
     "permdelRO",
     {"Delete Read-Only File", "Delete Read-Only Directory"},
     {"PERMANENTLY delete this READ-ONLY file?", "PERMANENTLY delete this READ-ONLY directory?"}},
    {FCFM_PERMDEL_RO_INDIR,
     "permdelROIndir",
     {"Delete Read-Only File", "Delete Read-Only Directory"},
     {"This directory contains READ-ONLY file(s). PERMANENTLY delete?",
      "This directory contains READ-ONLY file(s). PERMANENTLY delete?"}},
};

struct BtnSet {
  int btns;
  const char* word;
};
constexpr BtnSet kSets[] = {{FCFM_YN, "yn"},     {FCFM_YNYC, "ynYc"}, {FCFM_YNYNC, "ynYNc"},
                            {FCFM_NY, "ny"},     {FCFM_NYYC, "nyYc"}, {FCFM_NYNYC, "nyNYc"}};

constexpr xrm_idmap kCtrls[] = {{"question", IDC_FCFM_QUESTION}, {"facts", IDC_FCFM_FACTS},
                                {"yesBtn", FT_ANS_YES},           {"noBtn", FT_ANS_NO},
                                {"yesAllBtn", FT_ANS_YESALL},     {"noAllBtn", FT_ANS_NOALL},
                                {"cancelBtn", IDCANCEL},         {"btnSpace", IDC_FCFM_SPACE}};

HWND g_active = nullptr;
WINDOWPLACEMENT g_wp{};  // kept for the next question of the session
bool g_wp_set = false;

const TypeText* find_type(int type) {
  for (const TypeText& t : kTypes)
    if (t.type == type) return &t;
  return nullptr;
}

const char* tr(const txr* tx, const char* ctx, const char* id) { return tx ? txr_get(tx, ctx, id) : id; }

void fmt_time(const FILETIME& ft, char* buf, unsigned size) {
  FILETIME lt;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&ft, &lt) || !FileTimeToSystemTime(&lt, &st)) {
    mox_snprintf(buf, size, "?");
    return;
  }
  mox_snprintf(buf, size, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
               st.wSecond);
}

void fmt_attr(unsigned a, char* buf, unsigned size) {
  mox_snprintf(buf, size, "%c%c%c%c%c", a & FILE_ATTRIBUTE_DIRECTORY ? 'd' : '-', a & FILE_ATTRIBUTE_READONLY ? 'r' : '-',
               a & FILE_ATTRIBUTE_HIDDEN ? 'h' : '-', a & FILE_ATTRIBUTE_SYSTEM ? 's' : '-',
               a & FILE_ATTRIBUTE_ARCHIVE ? 'a' : '-');
}

int on_init(HWND dlg, fcfmdlg* d) {
  d->wnd = dlg;
  g_active = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
  char title[FCFM_TEXT_SIZE], msg[FCFM_TEXT_SIZE], facts[FCFM_FACTS_SIZE];
  int rc = fcfm_texts(d->tx, d->type, d->isdir, title, sizeof title, msg, sizeof msg);
  if (rc) return rc;
  SetWindowTextA(dlg, title);
  SetDlgItemTextA(dlg, IDC_FCFM_QUESTION, msg);
  // the facts are a help, not a condition of asking
  if (fcfm_facts(d->tx, d->path, facts, sizeof facts) == 0) SetDlgItemTextA(dlg, IDC_FCFM_FACTS, facts);
  if (d->rdb) {
    char name[64];
    mox_snprintf(name, sizeof name, "fcfmdlg_%sGeom", fcfm_btns_word(d->btns));
    char root[64];
    mox_snprintf(root, sizeof root, "fcfmdlg_%s", fcfm_btns_word(d->btns));
    if (!geom_init(&d->g, root) &&
        !xrm_geom_load(d->rdb, name, nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls) &&
        !geom_measure(&d->g, d->inst, MAKEINTRESOURCEA(d->btns), GetParent(dlg)) &&
        !geom_compute(&d->g)) {
      RECT cr;
      GetClientRect(dlg, &cr);
      if (!geom_resize(&d->g, (int)cr.right, (int)cr.bottom)) geom_apply(&d->g, dlg);
    } else {
      geom_free(&d->g);  // the template's own placement stays
    }
  }
  if (g_wp_set) {
    WINDOWPLACEMENT wp = g_wp;
    wp.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(dlg, &wp);
  }
  return 0;
}

void on_close(fcfmdlg* d, int answer) {
  g_wp.length = sizeof g_wp;
  if (GetWindowPlacement(d->wnd, &g_wp)) g_wp_set = true;
  d->answer = answer;
  EndDialog(d->wnd, answer);
}

}  // namespace

const char* fcfm_type_word(int type) {
  const TypeText* t = find_type(type);
  return t ? t->word : nullptr;
}

const char* fcfm_btns_word(int btns) {
  for (const BtnSet& s : kSets)
    if (s.btns == btns) return s.word;
  return nullptr;
}

int fcfm_btns_of(int cfm_yn, int more, int noall) {
  const bool yes1st = cfm_yn != 1;
  if (!more) return yes1st ? FCFM_YN : FCFM_NY;
  if (!noall) return yes1st ? FCFM_YNYC : FCFM_NYYC;
  return yes1st ? FCFM_YNYNC : FCFM_NYNYC;
}

int fcfm_texts(const txr* tx, int type, int isdir, char* title, unsigned tsize, char* msg, unsigned msize) {
  if (!title || !msg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - title: %p, msg: %p.", (void*)title, (void*)msg);
    return kParam;
  }
  const TypeText* t = find_type(type);
  if (!t) {
    ERR_LOG(ERR_ERR, kParam, "Invalid type [%d].", type);
    return kParam;
  }
  char ctx[64];
  const int k = isdir ? 1 : 0;
  mox_snprintf(ctx, sizeof ctx, "fcfmdlg.%s.title", t->word);
  mox_strcpy(title, tsize, tr(tx, ctx, t->title[k]));
  mox_snprintf(ctx, sizeof ctx, "fcfmdlg.%s.msg", t->word);
  mox_strcpy(msg, msize, tr(tx, ctx, t->msg[k]));
  return 0;
}

int fcfm_facts(const txr* tx, const char* path, char* buf, unsigned size) {
  if (!path || !buf || !size) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - path: %p, buf: %p.", (const void*)path, (void*)buf);
    return kParam;
  }
  *buf = 0;
  WIN32_FILE_ATTRIBUTE_DATA fa{};
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &fa)) {
    int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "GetFileAttributesEx() failed - rpath: `%s'.", path);
    return e ? e : 9001;
  }
  char a[16], c[64], m[64], line[128];
  fmt_attr(fa.dwFileAttributes, a, sizeof a);
  fmt_time(fa.ftCreationTime, c, sizeof c);
  fmt_time(fa.ftLastWriteTime, m, sizeof m);
  const char* vals[] = {a, c, m};
  const char* labels[] = {"Attr.", "Creat.", "Modif."};
  for (unsigned i = 0; i < 3; ++i) {
    mox_snprintf(line, sizeof line, "%s: %s", tr(tx, "fcfmdlg.file", labels[i]), vals[i]);
    if (*buf) {
      char prev[FCFM_FACTS_SIZE];
      mox_strcpy(prev, sizeof prev, buf);
      mox_snprintf(buf, size, "%s\r\n%s", prev, line);
    } else {
      mox_strcpy(buf, size, line);
    }
  }
  return 0;
}

int fcfmdlg_run(fcfmdlg* d, HINSTANCE inst, HWND owner, int* answer) {
  if (!d || !d->path || !answer) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, answer: %p.", (void*)d, (void*)answer);
    return kParam;
  }
  if (!fcfm_type_word(d->type)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid type [%d].", d->type);
    return kParam;
  }
  if (!fcfm_btns_word(d->btns)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - btns: %d.", d->btns);
    return kParam;
  }
  *answer = IDCANCEL;
  d->answer = IDCANCEL;
  d->inst = inst;
  HWND prev = g_active;
  INT_PTR r = DialogBoxParamA(inst, MAKEINTRESOURCEA(d->btns), owner, fcfmdlg_proc, (LPARAM)d);
  g_active = prev;
  geom_free(&d->g);
  d->wnd = nullptr;
  if (r == -1 || r == 0) {
    int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "DialogBoxParam() failed - %d.", d->btns);
    return e ? e : 9001;
  }
  *answer = (int)r;
  return 0;
}

HWND fcfmdlg_active() { return g_active; }

int fcfmdlg_answer(HWND dlg, int answer) {
  if (!dlg) {
    ERR_LOG(ERR_ERR, kParam, "`dlg' is NUL.");
    return kParam;
  }
  return PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0) ? 0 : (int)GetLastError();
}

INT_PTR CALLBACK fcfmdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  fcfmdlg* d = reinterpret_cast<fcfmdlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      if (on_init(dlg, reinterpret_cast<fcfmdlg*>(lp))) EndDialog(dlg, IDCANCEL);
      return TRUE;
    case WM_SIZE:
      if (d && d->g.root && !geom_resize(&d->g, LOWORD(lp), HIWORD(lp))) geom_apply(&d->g, dlg);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case FT_ANS_NO:
        case FT_ANS_NOALL:
        case FT_ANS_YES:
        case FT_ANS_YESALL:
        case IDCANCEL:
          if (d) on_close(d, LOWORD(wp));
          return TRUE;
        default: return FALSE;
      }
    case WM_DESTROY:
      if (g_active == dlg) g_active = nullptr;
      return FALSE;
    default: return FALSE;
  }
}
