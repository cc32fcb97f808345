// quarn: the console search tool. Walks each path depth first and prints every
// entry that satisfies the expression, and every directory it could not list.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "c/cmdparser.h"
#include "c/futil.h"
#include "c/osu.h"
#include "c/str.h"
#include "c/val.h"
#include "c/ver.h"
#include "ds/rbktree_v.h"
#include "err/err.h"
#include "ex/ex.h"
#include "quarn/qnex.h"
#include "quarn/qnexparser.h"
#include "quarn/quarncfg.h"
#include "quarn/quarnlib.h"
#include "txr/txr.h"

namespace {

constexpr const char kUsage[] =
    "%s path ... [options] [expr]\n"
    "  OPTIONS\n"
    "    -disable-err:[+-]<code>[-]\n"
    "    -file-type:{yes|no}\n"
    "    -ignorecase:{yes|no}\n"
    "    -post-order:{yes|no}\n"
    "    -realpath:{yes|no}\n"
    "    -cfg:<file>\n"
    "    -cfgdir:<dirname>\n"
    "    -ver[:{+|all|...|ls}]\n"
    "    -{help|?}\n"
    "  PRIMARIES\n"
    "    -ad:[+-]<time>\n"
    "      ccyy-mm[-dd[THH[:MM[:SS]]]]\n"
    "      [[[[[cc]yy]mm]dd]HH]MM[.SS]\n"
    "    -attr:<a>\n"
    "      a  archive\n"
    "      h  hidden\n"
    "      r  read-only\n"
    "      s  system\n"
    "    -Bd:[+-]<time>\n"
    "      ccyy-mm[-dd[THH[:MM[:SS]]]]\n"
    "      [[[[[cc]yy]mm]dd]HH]MM[.SS]\n"
    "    -depth:[+-]<n>\n"
    "    -empty\n"
    "    -md:[+-]<time>\n"
    "      ccyy-mm[-dd[THH[:MM[:SS]]]]\n"
    "      [[[[[cc]yy]mm]dd]HH]MM[.SS]\n"
    "    -mmin:[+-]<n>\n"
    "    -mtime:[+-]<n>\n"
    "    -name:<pattern>\n"
    "    -cname:<pattern>\n"
    "    -iname:<pattern>\n"
    "    -path:<pattern>\n"
    "    -cpath:<pattern>\n"
    "    -ipath:<pattern>\n"
    "    -size:[+-]<n>[ckmg]\n"
    "      c  bytes\n"
    "      k  kilobytes (1024 bytes)\n"
    "      m  megabytes (1048576 bytes)\n"
    "      g  gigabytes (1073741824 bytes)\n"
    "    -type:<t>\n"
    "      d  directory\n"
    "      f  file\n"
    "  OPERATORS\n"
    "    ( expr )\n"
    "    ! expr\n"
    "    expr -a expr\n"
    "    expr -and expr\n"
    "    expr expr\n"
    "    expr -o expr\n"
    "    expr -or expr\n"
    "\n";
constexpr unsigned kPathSize = 4096;

quarncfg cfg;
txr texts;

// Standard output is always buffered: the runtime writes an unbuffered character
// device byte by byte. The error log writes its records to standard output through
// the same stream, so they land after the lines before them, never inside one.
struct output {
  bool console;   // an interactive console: flushed once per line, people watch it
  UINT oldcp;     // the console's output code page to restore, 0 when not changed
  int failed;     // the first write failure, reported once
};
output out;
char outbuf[1 << 16];

// Windows says 232 or 109 when the reader went away, Wine 233
constexpr int kPipeClosed[] = {ERROR_BROKEN_PIPE, ERROR_NO_DATA, ERROR_PIPE_NOT_CONNECTED};

BOOL WINAPI restore_cp(DWORD) {
  if (out.oldcp) SetConsoleOutputCP(out.oldcp);
  return FALSE;  // the default handling goes on
}

void out_init() {
  setvbuf(stdout, outbuf, _IOFBF, sizeof outbuf);
  DWORD mode = 0;
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  out.console = h && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode);
  // a console moves to the next line on a line feed; in text mode some runtimes
  // (Wine's) would also recode the bytes as if they were Latin-1
  if (out.console) _setmode(_fileno(stdout), _O_BINARY);
  // names come in the active code page; with UTF-8 there the console must show UTF-8
  if (out.console && GetACP() == CP_UTF8) {
    const UINT cp = GetConsoleOutputCP();
    if (cp && cp != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
      out.oldcp = cp;
      SetConsoleCtrlHandler(restore_cp, TRUE);
    }
  }
}

void out_restore() {
  if (!out.oldcp) return;
  SetConsoleOutputCP(out.oldcp);
  SetConsoleCtrlHandler(restore_cp, FALSE);
  out.oldcp = 0;
}

// A failed write ends the run: a reader that went away quietly, anything else with
// the system's message.
int out_failed() {
  if (out.failed) return out.failed;
  int code = _doserrno;
  if (!code) code = errno == EPIPE ? ERROR_BROKEN_PIPE : errno == ENOSPC ? ERROR_DISK_FULL : 9001;
  out.failed = code;
  for (int c : kPipeClosed)
    if (code == c) return code;
  char msg[1024];
  ERR_USER(ERR_ERR, code, "Write to standard output failed: %s", mox_sys_errmsg(code, msg, sizeof msg));
  return code;
}

// After each line: a console sees it now, and a failed write shows.
int out_line(int printed) {
  if (printed < 0 || ferror(stdout)) return out_failed();
  if (out.console && fflush(stdout)) return out_failed();
  return 0;
}

int out_finish() {
  if (fflush(stdout) || ferror(stdout)) return out_failed();
  return 0;
}

int print_entry(const qnd* qnd, int, unsigned, void*) {
  if (!qnd) {
    ERR_LOG(ERR_ERR, 9003, "`qnd' is NUL.");
    return 9003;
  }
  const char* first = cfg.realpath && qnd->rdir ? qnd->rdir : qnd->dir;
  const char* second = qnd->name;
  char dirbuf[kPathSize], namebuf[kPathSize];
  if (!second && !cfg.file_type) first = mox_path_del_sep(first, dirbuf, sizeof dirbuf);
  if (second && cfg.file_type && (qnd->fd.dwFileAttributes & 0x10))
    second = mox_path_add_sep(second, namebuf, sizeof namebuf);
  if (!first) first = "";
  if (!second) second = "";
  int n;
  if (qnd->errcode == 0)
    n = printf("%s%s\n", first, second);
  else
    n = printf("%s%s - ERR[%d]: %s\n", first, second, (int)qnd->errcode, qnd->errtext ? qnd->errtext : "");
  return out_line(n);
}

// The expression's words are parted by line feeds; a message shows them on one line.
const char* one_line(const char* text, char* buf, unsigned size) {
  unsigned i = 0;
  for (; text[i] && i + 1 < size; i++) buf[i] = text[i] == '\n' ? ' ' : text[i];
  buf[i] = 0;
  return buf;
}

// the tree hands key slots to its compare
int path_casecmp(unsigned t1, const void* k1, unsigned s1, unsigned t2, const void* k2, unsigned s2, void*) {
  return val_casecmp(t1, *static_cast<char* const*>(k1), s1, t2, *static_cast<char* const*>(k2), s2);
}

// Everything after the options are read: parse the expression, then walk each path.
int search(::cmdp* cmdp, qn* qn, ex* ex, qnexp* qnexp, rbktree* seen, long now) {
  int rc = quarncfg_load(&cfg, cmdp);
  if (rc) return rc;
  quarn_prepare(qn);
  if (cfg.expr) {
    rc = ex_init(ex, qnex_free);
    if (rc) return rc;
    rc = mox_qnexparser_parse(qnexp, ex, cfg.expr, cfg.ignorecase, 1, cfg.tfmts, now, 0);
    if (rc) {
      static char etext[sizeof qnexp->exp.errtext], shown[8192];
      ERR_USER(ERR_ERR, rc, "%s: %s.", one_line(qnexp->exp.errtext, etext, sizeof etext),
               one_line(cfg.expr, shown, sizeof shown));
      return rc;
    }
  }
  rc = rbktree_v_init(seen, 0x82, cfg.ignorecase ? path_casecmp : nullptr, nullptr, nullptr, nullptr, nullptr);
  if (rc) return rc;
  if (list_count(&cfg.paths) == 0) {
    ERR_USER(ERR_ERR, 9012, "No path specified.");
    return 9012;
  }
  for (list_node* n = list_first(&cfg.paths); n; n = list_next(n)) {
    const char* path = *static_cast<char* const*>(list_data(n));
    if (rbktree_v_find(seen, path)) {
      ERR_USER(ERR_WARN, 9007, "Duplicate path: %s: ignored.", path);
      continue;
    }
    qn->postorder = cfg.post_order;
    rc = quarn_find(qn, path, ex_root(ex) ? ex : nullptr, nullptr, nullptr, nullptr, print_entry, 0,
                    reinterpret_cast<const diserr*>(cfg.diserr), nullptr);
    if (rc) return rc;
    int err = 0;
    if (!rbktree_v_insert(seen, path, &err)) ERR_LOG(ERR_ERR, err, "Failed to add path - %s.", path);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  out_init();
  err_init(argc, argv, nullptr, nullptr, nullptr, nullptr);
  long now = (long)time(nullptr);

  ::cmdp cmdp;
  qn qn;
  ex ex;
  qnexp qnexp;
  rbktree seen;
  memset(&seen, 0, sizeof seen);
  quarncfg_init(&cfg);
  txr_init(&texts, nullptr);
  qnex_set_texts(&texts);
  cmdp_clear(&cmdp);
  quarn_init(&qn);
  ex_clear(&ex);
  qnexparser_clear(&qnexp);

  int rc = cmdp_init(&cmdp);
  const char* env = getenv("QUARN");
  if (!rc && env) rc = cmdp_parse_str(&cmdp, env, 2, nullptr);
  if (!rc) rc = cmdp_parse_argv(&cmdp, argc, argv);
  const char* sel = nullptr;
  if (rc) {
  } else if (cmdp_has_op(&cmdp, "ver", &sel)) {
    ver_print(&app_ver, sel, nullptr);
  } else if (cmdp_has(&cmdp, "help|?")) {
    printf(kUsage, argv[0]);
  } else {
    // the options are not applied yet, so this selects the store's default language
    rc = txr_init(&texts, cfg.lang);
    if (!rc) rc = search(&cmdp, &qn, &ex, &qnexp, &seen, now);
  }

  // what is still buffered may fail too; a failure already reported stays the result
  int orc = out_finish();
  if (!rc) rc = orc;
  quarn_free(&qn);
  ex_free(&ex);
  qnexparser_free(&qnexp);
  rbktree_free(&seen);
  cmdp_free(&cmdp);
  txr_free(&texts);
  quarncfg_free(&cfg);
  err_free();
  out_restore();
  return rc ? 1 : 0;
}
