#include "quarn/qnexparser.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "quarn/qnex.h"
#include "quarn/qnex.tab.h"

extern int qnex_yyparse();

namespace {

constexpr unsigned kChunk = 8192;

// Scanner state, one per process like the parse it serves.
struct Scanner {
  char* buf;          // the whole input, read through exp_input
  unsigned len;
  unsigned pos;
  int valtok;         // value token expected next, or 0 in the initial condition
  const char* tok;    // text of the last token read
  unsigned toklen;
  bool loaded;
} sc;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Keyword {
  const char* text;
  int token;
  int valtok;   // the value token that follows, 0 for none
  bool blank;   // one blank belongs to the token
};
constexpr Keyword kKeywords[] = {
    {"-ad:", AD, AD_VAL, false},       {"-attr:", ATTR, ATTR_VAL, false},  {"-Bd:", BD, BD_VAL, false},
    {"-depth:", DEPTH, DEPTH_VAL, false}, {"-empty", EMPTY, 0, false},     {"-md:", MD, MD_VAL, false},
    {"-mmin:", MMIN, MMIN_VAL, false}, {"-mtime:", MTIME, MTIME_VAL, false}, {"-name:", NAME, NAME_VAL, false},
    {"-cname:", CNAME, NAME_VAL, false}, {"-iname:", INAME, NAME_VAL, false}, {"-path:", PATH, PATH_VAL, false},
    {"-cpath:", CPATH, PATH_VAL, false}, {"-ipath:", IPATH, PATH_VAL, false}, {"-size:", SIZE, SIZE_VAL, false},
    {"-type:", TYPE, TYPE_VAL, false}, {"-a", AND, 0, true},              {"-and", AND, 0, true},
    {"-o", OR, 0, true},               {"-or", OR, 0, true},
};

void scanner_restart() {
  free(sc.buf);
  memset(&sc, 0, sizeof sc);
}

// Reads the whole text in chunks; a failure ends the input.
void scanner_load() {
  sc.loaded = true;
  for (;;) {
    char* nbuf = static_cast<char*>(realloc(sc.buf, sc.len + kChunk + 1));
    if (!nbuf) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", sc.len + kChunk + 1);
      exp_error(exp_current, 9004, "out of memory");
      sc.len = 0;
      return;
    }
    sc.buf = nbuf;
    unsigned n = exp_input(sc.buf + sc.len, kChunk);
    sc.len += n;
    sc.buf[sc.len] = 0;
    if (n == 0) return;
  }
}

int token(int t, unsigned start, unsigned end) {
  sc.tok = sc.buf + start;
  sc.toklen = end - start;
  sc.pos = end;
  return t;
}

// The rest of the line from the current character, at least one character.
int bad_token() {
  unsigned end = sc.pos + 1;
  while (end < sc.len && sc.buf[end] != '\n') end++;
  sc.valtok = 0;
  return token(BAD, sc.pos, end);
}

int value_token() {
  int t = sc.valtok;
  sc.valtok = 0;
  char c = sc.buf[sc.pos];
  if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return bad_token();
  unsigned end = sc.pos;
  while (end < sc.len) {
    char d = sc.buf[end];
    if (d == '\\' && end + 1 < sc.len && (sc.buf[end + 1] == ' ' || sc.buf[end + 1] == '\t' || sc.buf[end + 1] == '\r'))
      end += 2;
    else if (!is_blank(d))
      end++;
    else
      break;
  }
  int err = 0;
  char* word = mox_strndup(sc.buf + sc.pos, end - sc.pos, &err);
  if (!word || exp_keep_text(exp_current, word)) {
    if (word && err == 0) free(word);
    exp_error(exp_current, 9004, "out of memory");
    return token(0, sc.len, sc.len);
  }
  mox_trim(word);
  qnex_yylval.str = word;
  return token(t, sc.pos, end);
}

}  // namespace

qnexp* qnexparser_cur() { return exp_current ? static_cast<qnexp*>(exp_current->usr) : nullptr; }

int qnexparser_lex() {
  if (!sc.loaded) scanner_load();
  if (exp_current && exp_current->errcode) return token(0, sc.len, sc.len);
  if (sc.valtok) {
    if (sc.pos >= sc.len) return token(0, sc.len, sc.len);
    return value_token();
  }
  while (sc.pos < sc.len && is_blank(sc.buf[sc.pos])) sc.pos++;
  if (sc.pos >= sc.len) return token(0, sc.len, sc.len);
  char c = sc.buf[sc.pos];
  if (c == '!') return token(NOT, sc.pos, sc.pos + 1);
  if (c == '(' || c == ')') return token(c, sc.pos, sc.pos + 1);
  const Keyword* best = nullptr;
  unsigned bestlen = 0;
  for (const Keyword& k : kKeywords) {
    unsigned n = (unsigned)strlen(k.text);
    if (sc.len - sc.pos < n + (k.blank ? 1 : 0) || memcmp(sc.buf + sc.pos, k.text, n) != 0) continue;
    if (k.blank) {
      if (!is_blank(sc.buf[sc.pos + n])) continue;
      n++;
    }
    if (n > bestlen) {
      best = &k;
      bestlen = n;
    }
  }
  if (!best) return bad_token();
  sc.valtok = best->valtok;
  return token(best->token, sc.pos, sc.pos + bestlen);
}

void qnexparser_error(const char* msg) {
  char text[EXP_ERRTEXT_SIZE];
  mox_snprintf(text, sizeof text, "%s: `%.*s'", msg, (int)sc.toklen, sc.tok ? sc.tok : "");
  struct exp* exp = exp_current;
  if (exp && exp->logflag && err_active && errsever >= ERR_ERR &&
      err_head(ERR_ERR, 9001, nullptr, -1, "qnex.tab", __LINE__) == 0)
    err_printf("%s.", text);
  exp_error(exp, 9001, text);
}

void qnexparser_fail(int code, const char* text) { exp_error(exp_current, code ? code : 9001, text); }

void* qnexparser_add(void* pri, int* err) {
  qnexp* q = qnexparser_cur();
  void* node = ex_add(q->exp.ex, pri, err);
  if (!node) {
    qnex_free(pri);
    free(pri);
    exp_error(&q->exp, *err ? *err : 9001, "ex_add() failed");
  }
  return node;
}

void* qnexparser_and(void* lnode, void* rnode, int* err) {
  qnexp* q = qnexparser_cur();
  void* node = ex_and(q->exp.ex, static_cast<tree_node*>(lnode), static_cast<tree_node*>(rnode), err);
  if (!node || *err) exp_error(&q->exp, *err ? *err : 9001, "ex_and() failed");
  return node;
}

void* qnexparser_or(void* lnode, void* rnode, int* err) {
  qnexp* q = qnexparser_cur();
  void* node = ex_or(q->exp.ex, static_cast<tree_node*>(lnode), static_cast<tree_node*>(rnode), err);
  if (!node || *err) exp_error(&q->exp, *err ? *err : 9001, "ex_or() failed");
  return node;
}

void* qnexparser_not(void* node, int* err) {
  qnexp* q = qnexparser_cur();
  void* n = ex_not(static_cast<tree_node*>(node), err);
  if (!n || *err) exp_error(&q->exp, *err ? *err : 9001, "ex_not() failed");
  return n;
}

void qnexparser_clear(qnexp* qnexp) {
  if (!qnexp) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    return;
  }
  memset(qnexp, 0, sizeof *qnexp);
}

void qnexparser_free(qnexp* qnexp) {
  if (!qnexp) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    return;
  }
  exp_free(&qnexp->exp);
  fattrf_free(&qnexp->fattrf);
  fszf_free(&qnexp->fszf);
  ftypef_free(&qnexp->ftypef);
  timef_free(&qnexp->timef);
  uintf_free(&qnexp->uintf);
  qnexparser_clear(qnexp);
}

int mox_qnexparser_parse(qnexp* qnexp, ex* ex, const char* text, int ignorecase, unsigned fmtflags,
                         const char* fmts, long now, int logflag) {
  if (qnexp) qnexparser_free(qnexp);
  if (!qnexp || !ex || !text || !*text) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, ex: %p, str: `%s'.", (void*)qnexp, (void*)ex,
            mox_nul(text));
    return 9003;
  }
  qnexp->ignorecase = ignorecase;
  int rc = fattrf_init(&qnexp->fattrf, fmtflags);
  if (!rc) rc = fszf_init(&qnexp->fszf, fmtflags);
  if (!rc) rc = ftypef_init(&qnexp->ftypef, fmtflags);
  if (!rc && fmts) rc = timef_init(&qnexp->timef, fmtflags, fmts);
  if (!rc) rc = uintf_init(&qnexp->uintf, fmtflags);
  if (rc) return rc;
  qnexp->now = now;
  rc = exp_parse(&qnexp->exp, ex, text, qnex_yyparse, scanner_restart, logflag, qnexp);
  scanner_restart();
  return rc;
}
