#include "txr/txr_load.h"

#include <bzlib.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "c/ftype.h"
#include "c/path.h"
#include "c/str.h"
#include "c/strmacro.h"
#include "err/err.h"

// One open input. Plain text in memory is read where it lies; a file or a bzip2
// image goes through the input's own buffer.
struct txrl_src {
  char* name;                // owned; "" for data in memory
  FILE* fp;                  // a file
  bool bzon;                 // a bzip2 image: bz is initialised
  bz_stream bz;
  const char* buf;           // the bytes at hand
  char* own;                 // owned buffer of TXRL_BUFSIZE bytes, or nullptr
  unsigned pos, len;         // next byte, bytes at hand
  bool eof;                  // nothing beyond len
  bool bol;                  // pos is at the start of a line
  unsigned line;             // of pos, from 1
  char lang[TXR_LANG_SIZE];  // the language current before this input was opened
};

namespace {

constexpr int kSyntax = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;
constexpr int kState = 9012;
constexpr int kLimit = 9009;
constexpr int kUnsupported = 9013;

constexpr int kEnd = -1;  // no further byte in this input
constexpr const char kSyntaxMsg[] = "syntax error";
constexpr const char kInclude[] = "#include";
constexpr unsigned kIncludeLen = sizeof kInclude - 1;

inline int errno_code() { return errno ? errno : kSyntax; }
inline bool is_blank(int c) { return c == ' ' || c == '\t'; }
inline bool is_tag_char(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}
inline int lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

bool null_txrl(const txrl* tl) {
  if (tl) return false;
  ERR_LOG(ERR_ERR, kParam, "`txrl' is NUL.");
  return true;
}

// Keeps the first failure of a load and its message; returns the code given.
int record(txrl* tl, int code, const char* format, ...) ERR_PRINTF_LIKE(3, 4);
int record(txrl* tl, int code, const char* format, ...) {
  if (!tl->err) {
    tl->err = code;
    va_list ap;
    va_start(ap, format);
    mox_vsnprintf(tl->errmsg, sizeof tl->errmsg, format, ap);
    va_end(ap);
  }
  return code;
}

int too_long(txrl* tl, unsigned limit, const char* str, unsigned len) {
  int n = (int)(len < TXRL_SHOW_MAX ? len : TXRL_SHOW_MAX);
  ERR_LOG(ERR_ERR, kLimit, "Max txr str length [%u] exceeded - str: `%.*s'.", limit, n, str);
  return record(tl, kLimit, "Max txr str length [%u] exceeded - str: `%.*s'.", limit, n, str);
}

// --- input: bytes of the innermost open input

txrl_src* top(txrl* tl) { return tl->src[tl->depth - 1]; }

int bz_failed(txrl* tl, const char* call) {
  ERR_LOG(ERR_ERR, kSyntax, "%s() error.", call);
  return record(tl, kSyntax, "%s() error.", call);
}

// Makes n bytes available at pos unless the input ends first. A read or
// decompression failure is recorded and ends the input.
void fill(txrl* tl, txrl_src* s, unsigned n) {
  while (s->len - s->pos < n && !s->eof) {
    if (s->pos) {
      memmove(s->own, s->own + s->pos, s->len - s->pos);
      s->len -= s->pos;
      s->pos = 0;
    }
    if (s->fp) {
      errno = 0;
      size_t got = fread(s->own + s->len, 1, TXRL_BUFSIZE - s->len, s->fp);
      s->len += (unsigned)got;
      if (!got) {
        s->eof = true;
        if (ferror(s->fp)) {
          int rc = errno_code();
          ERR_LOG(ERR_ERR, rc, "Failed to read file `%s'.", s->name);
          record(tl, rc, "Failed to read file `%s'.", s->name);
        }
      }
    } else if (s->bzon) {
      unsigned room = TXRL_BUFSIZE - s->len;
      s->bz.next_out = s->own + s->len;
      s->bz.avail_out = room;
      int r = BZ2_bzDecompress(&s->bz);
      unsigned got = room - s->bz.avail_out;
      s->len += got;
      if (r == BZ_STREAM_END) {
        s->eof = true;
      } else if (r != BZ_OK || (!got && !s->bz.avail_in)) {  // corrupt, or cut short
        s->eof = true;
        bz_failed(tl, "BZ2_bzDecompress");
      }
    } else {
      s->eof = true;
    }
  }
}

// The byte k places ahead, or kEnd.
int peek(txrl* tl, txrl_src* s, unsigned k = 0) {
  if (s->len - s->pos <= k) fill(tl, s, k + 1);
  return s->len - s->pos > k ? (unsigned char)s->buf[s->pos + k] : kEnd;
}

// Length of a line end k places ahead: 1 "\n", 2 "\r\n", 0 none.
unsigned eol_at(txrl* tl, txrl_src* s, unsigned k = 0) {
  int c = peek(tl, s, k);
  if (c == '\n') return 1;
  return c == '\r' && peek(tl, s, k + 1) == '\n' ? 2 : 0;
}

void skip_eol(txrl_src* s, unsigned n) {
  s->pos += n;
  s->line++;
  s->bol = true;
}

// --- opening and closing inputs

void free_src(txrl_src* s) {
  free(s->name);
  free(s->own);
  free(s);
}

// A new innermost input with its own buffer when bytes are not handed over whole.
// The current language is saved with it and set to the default.
int push(txrl* tl, const char* name, FILE* fp, const char* data, unsigned size, bool bz) {
  if (tl->depth >= TXRL_MAX_FILES) {  // checked by the callers; the stack must never overflow
    ERR_LOG(ERR_ERR, kState, "Max includes [%u] exceeded - txr: %p, fname: `%s'.", (unsigned)TXRL_MAX_FILES,
            (void*)tl, name);
    return record(tl, kState, "Max includes [%u] exceeded - txr: %p, fname: `%s'.", (unsigned)TXRL_MAX_FILES,
                  (void*)tl, name);
  }
  txrl_src* s = static_cast<txrl_src*>(calloc(1, sizeof(txrl_src)));
  if (!s) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(txrl_src));
    return record(tl, kNoMem, "size: %u.", (unsigned)sizeof(txrl_src));
  }
  s->name = strdup(name);
  if (!s->name) {
    free_src(s);
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(name));
    return record(tl, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(name));
  }
  if (fp || bz) {
    s->own = static_cast<char*>(malloc(TXRL_BUFSIZE));
    if (!s->own) {
      free_src(s);
      ERR_LOG(ERR_ERR, kSyntax, "yy_create_buffer() failed - size: %u.", (unsigned)TXRL_BUFSIZE);
      return record(tl, kSyntax, "yy_create_buffer() failed - size: %u.", (unsigned)TXRL_BUFSIZE);
    }
    s->buf = s->own;
  } else {
    s->buf = data;
    s->len = size;
    s->eof = true;
  }
  if (bz) {
    if (BZ2_bzDecompressInit(&s->bz, 0, 0) != BZ_OK) {
      free_src(s);
      return bz_failed(tl, "BZ2_bzDecompressInit");
    }
    s->bzon = true;
    s->bz.next_in = const_cast<char*>(data);
    s->bz.avail_in = size;
  }
  s->fp = fp;
  s->bol = true;
  s->line = 1;
  mox_strcpy(s->lang, sizeof s->lang, tl->tx->clang);
  tl->src[tl->depth++] = s;
  txr_set_lang(tl->tx, nullptr);
  return 0;
}

// Closes the innermost input and gives the language back that was current before it.
int pop(txrl* tl) {
  if (!tl->depth) {
    ERR_LOG(ERR_ERR, kState, "No open files - txrl: %p.", (void*)tl);
    return record(tl, kState, "No open files - txrl: %p.", (void*)tl);
  }
  txrl_src* s = tl->src[--tl->depth];
  tl->src[tl->depth] = nullptr;
  int rc = 0;
  if (s->fp) {
    errno = 0;
    if (fclose(s->fp) != 0) {
      rc = errno_code();
      ERR_LOG(ERR_ERR, rc, "fclose() failed [%s].", s->name);
      record(tl, rc, "fclose() failed [%s].", s->name);
    }
  }
  if (s->bzon && BZ2_bzDecompressEnd(&s->bz) != BZ_OK) rc = bz_failed(tl, "BZ2_bzDecompressEnd");
  txr_set_lang(tl->tx, s->lang);
  free_src(s);
  return rc;
}

int open_file(txrl* tl, const char* fname) {
  if (tl->depth >= TXRL_MAX_FILES) {
    ERR_LOG(ERR_ERR, kLimit, "Max includes [%u] exceeded - txr: %p, fname: `%s'.", (unsigned)TXRL_MAX_FILES,
            (void*)tl, fname);
    return record(tl, kLimit, "Max includes [%u] exceeded - txr: %p, fname: `%s'.", (unsigned)TXRL_MAX_FILES,
                  (void*)tl, fname);
  }
  errno = 0;
  FILE* fp = fopen(fname, "rb");  // line ends are the scanner's business
  if (!fp) {
    int rc = errno_code();
    ERR_LOG(ERR_ERR, rc, "Failed to open file `%s'.", fname);
    return record(tl, rc, "Failed to open file `%s'.", fname);
  }
  int rc = push(tl, fname, fp, nullptr, 0, false);
  if (rc) fclose(fp);
  return rc;
}

// --- scanning

// Records a syntax error at the token that starts k places ahead in the innermost
// input: the word there (to a blank or line end), empty for a line end or the end.
int syntax_error(txrl* tl, unsigned k = 0) {
  txrl_src* s = top(tl);
  unsigned n = 0;
  while (n < TXRL_SHOW_MAX) {
    int c = peek(tl, s, k + n);
    if (c == kEnd || c == '\n' || (c == '\r' && eol_at(tl, s, k + n)) || (n && is_blank(c))) break;
    n++;
  }
  if (tl->err) return tl->err;  // the input failed while the token was read
  const char* tok = s->buf + s->pos + k;
  ERR_LOG(ERR_ERR, kSyntax, "%s(%u) - %s: `%.*s'.", s->name, s->line, kSyntaxMsg, (int)n, tok);
  return record(tl, kSyntax, "%s(%u) - %s: `%.*s'.", s->name, s->line, kSyntaxMsg, (int)n, tok);
}

// Skips blanks in the innermost input only; the next byte or kEnd.
int skip_blanks_here(txrl* tl, txrl_src* s) {
  int c;
  while (is_blank(c = peek(tl, s))) s->pos++;
  return c;
}

// Skips blanks; an included input that ends is closed and the including one goes on
// right after the include line's name. The next byte, or kEnd at the end of the first
// input or on failure.
int skip_blanks(txrl* tl) {
  for (;;) {
    txrl_src* s = top(tl);
    int c = skip_blanks_here(tl, s);
    if (c != kEnd || tl->err || tl->depth == 1) return c;
    if (pop(tl)) return kEnd;
    top(tl)->bol = false;
  }
}

// A run of tag characters into tl->tag; its length, or -1 after an error.
int read_tag(txrl* tl, txrl_src* s, unsigned limit) {
  unsigned n = 0;
  for (int c; is_tag_char(c = peek(tl, s));) {
    if (n < sizeof tl->tag - 1) tl->tag[n] = (char)c;
    n++;
    s->pos++;
    if (n > limit) {
      too_long(tl, limit, tl->tag, n - 1);
      return -1;
    }
  }
  tl->tag[n < sizeof tl->tag ? n : sizeof tl->tag - 1] = 0;
  return tl->err ? -1 : (int)n;
}

// The rest of the line (joined with the next one where a backslash stands right
// before the line end when join is set) into tl->str, without the line end. More
// than limit characters fail with the limit shown as shown. Returns the length, or
// -1 after an error.
int read_rest(txrl* tl, txrl_src* s, bool join, unsigned limit, unsigned shown) {
  unsigned n = 0;
  for (;;) {
    int c = peek(tl, s);
    if (c == kEnd || eol_at(tl, s)) break;
    if (join && c == '\\') {
      if (unsigned e = eol_at(tl, s, 1)) {
        s->pos++;
        skip_eol(s, e);
        s->bol = false;
        continue;
      }
    }
    if (n >= limit) {
      tl->str[n] = 0;
      too_long(tl, shown, tl->str, n);
      return -1;
    }
    tl->str[n++] = (char)c;
    s->pos++;
  }
  tl->str[n] = 0;
  return tl->err ? -1 : (int)n;
}

// A text after ':': required, joined, trimmed, escapes decoded into tl->text.
int read_text(txrl* tl) {
  txrl_src* s = top(tl);
  skip_blanks_here(tl, s);
  if (tl->err) return tl->err;
  if (peek(tl, s) == kEnd || eol_at(tl, s)) return tl->err ? tl->err : syntax_error(tl);
  if (read_rest(tl, s, true, TXRL_STR_SIZE - 1, TXRL_STR_SIZE - 1) < 0) return tl->err;
  int rc = mox_str_unescape(tl->text, sizeof tl->text, mox_trim(tl->str));
  return rc ? record(tl, rc, "%s", tl->str) : 0;
}

// Skips blanks and takes a ':'.
int colon(txrl* tl) {
  int c = skip_blanks(tl);
  if (tl->err) return tl->err;
  if (c != ':') return syntax_error(tl);
  top(tl)->pos++;
  return 0;
}

// 1 when the bytes ahead are the keyword (with case), followed by no further letter.
bool keyword(txrl* tl, txrl_src* s, const char* kw) {
  unsigned n = 0;
  for (; kw[n]; n++)
    if (peek(tl, s, n) != (unsigned char)kw[n]) return false;
  if (!is_tag_char(peek(tl, s, n))) {
    s->pos += n;
    return true;
  }
  return false;
}

// --- statements

int stmt_lang(txrl* tl) {
  if (int rc = colon(tl)) return rc;
  txrl_src* s = top(tl);
  skip_blanks_here(tl, s);
  int n = read_tag(tl, s, TXRL_STR_SIZE - 1);
  if (n < 0) return tl->err;
  int rc = txr_set_lang(tl->tx, n ? tl->tag : nullptr);
  return rc ? record(tl, rc, "%s", n ? tl->tag : "DFLT") : 0;
}

int stmt_ctx(txrl* tl) {
  if (int rc = colon(tl)) return rc;
  txrl_src* s = top(tl);
  skip_blanks_here(tl, s);
  int n = read_rest(tl, s, false, TXRL_STR_SIZE - 1, TXRL_CTX_SIZE - 1);
  if (n < 0) return tl->err;
  const char* ctx = mox_trim(tl->str);
  unsigned len = (unsigned)strlen(ctx);
  if (len >= TXRL_CTX_SIZE) return too_long(tl, TXRL_CTX_SIZE - 1, ctx, len);
  mox_strcpy(tl->ctx, sizeof tl->ctx, ctx);
  return 0;
}

int stmt_id(txrl* tl) {
  if (int rc = colon(tl)) return rc;
  if (int rc = read_text(tl)) return rc;
  mox_strcpy(tl->id, sizeof tl->id, tl->text);
  return 0;
}

// A translation: stored when its language fits the requested one.
int stmt_text(txrl* tl, bool tagged) {
  if (int rc = read_text(tl)) return rc;
  const char* lang = tagged ? tl->tag : nullptr;
  int score = 0, rc = 0;
  if (txr_lang_score(tl->tx, lang, &score, &rc)) rc = txr_set(tl->tx, tl->id, tl->ctx, lang, tl->text, score);
  if (!rc) return 0;
  if (tagged) return record(tl, rc, "%s.%s [%s] : %s", tl->ctx, tl->id, tl->tag, tl->text);
  return record(tl, rc, "%s.%s : %s", tl->ctx, tl->id, tl->text);
}

int stmt_tagged(txrl* tl) {
  txrl_src* s = top(tl);
  s->pos++;  // '['
  int n = read_tag(tl, s, TXRL_TAG_SIZE - 1);
  if (n < 0) return tl->err;
  if (!n || peek(tl, s) != ']') return tl->err ? tl->err : syntax_error(tl);
  s->pos++;
  if (int rc = colon(tl)) return rc;
  return stmt_text(tl, true);
}

// "#include NAME" at the start of a line: NAME trimmed, macros replaced, taken in the
// including file's directory when it has no directory of its own, opened.
int include(txrl* tl) {
  txrl_src* s = top(tl);
  s->pos += kIncludeLen;
  s->bol = false;
  int n = read_rest(tl, s, false, TXRL_FNAME_SIZE - 1, TXRL_FNAME_SIZE - 1);
  if (n < 0) return tl->err;
  char name[TXRL_FNAME_SIZE];
  mox_strcpy(name, sizeof name, mox_trim(tl->str));
  if (!*name) return syntax_error(tl);
  if (int rc = strmacro_expand(name, sizeof name)) return record(tl, rc, "%s", name);
  unsigned dirlen = 0;
  const char* dir = nullptr;
  mox_path_split(name, nullptr, &dirlen, nullptr, nullptr, nullptr);
  if (!dirlen) mox_path_split(s->name, &dir, &dirlen, nullptr, nullptr, nullptr);
  char path[TXRL_FNAME_SIZE];
  if (mox_snprintf(path, sizeof path, "%.*s%s", (int)dirlen, dir ? dir : "", name)) {
    ERR_LOG(ERR_ERR, kCut, "mox_snprintf() failed - size: %u.", (unsigned)sizeof path);
    return record(tl, kCut, "mox_snprintf() failed - size: %u.", (unsigned)sizeof path);
  }
  return open_file(tl, path);
}

bool at_include(txrl* tl, txrl_src* s) {
  for (unsigned i = 0; i < kIncludeLen; i++)
    if (lower(peek(tl, s, i)) != kInclude[i]) return false;
  return is_blank(peek(tl, s, kIncludeLen));
}

// One statement from its first byte c (blanks skipped); its action is run as soon as
// it is complete, before the line end is looked for.
int statement(txrl* tl, int c) {
  txrl_src* s = top(tl);
  if (c == ':') {
    s->pos++;
    return stmt_text(tl, false);
  }
  if (c == '[') return stmt_tagged(tl);
  if (keyword(tl, s, "lang")) return stmt_lang(tl);
  if (keyword(tl, s, "ctx")) return stmt_ctx(tl);
  if (keyword(tl, s, "id")) return stmt_id(tl);
  return tl->err ? tl->err : syntax_error(tl);
}

// The whole input: one or more statements, each followed by a line end.
int parse(txrl* tl) {
  unsigned eols = 0;
  bool in_stmt = false;
  for (;;) {
    txrl_src* s = top(tl);
    if (s->bol) {
      int c = peek(tl, s);
      if (c == '!') {  // a comment, to the line end
        s->bol = false;
        while (peek(tl, s) != kEnd && !eol_at(tl, s)) s->pos++;
        if (tl->err) return tl->err;
        continue;
      }
      if (c == '#' && at_include(tl, s)) {
        if (int rc = include(tl)) return rc;
        continue;
      }
      s->bol = false;
    }
    int c = skip_blanks(tl);
    if (tl->err) return tl->err;
    s = top(tl);
    if (c == kEnd) return in_stmt || !eols ? syntax_error(tl) : 0;
    if (unsigned e = eol_at(tl, s)) {
      skip_eol(s, e);
      eols++;
      in_stmt = false;
      continue;
    }
    if (in_stmt) return syntax_error(tl);
    if (int rc = statement(tl, c)) return rc;
    in_stmt = true;
  }
}

// Runs the parse of the input just opened and closes everything, whatever happened.
int run(txrl* tl) {
  if (!tl->err) parse(tl);
  while (tl->depth) pop(tl);
  return tl->err;
}

void start(txrl* tl, txr* tx) {
  txrl_clear(tl);
  tl->tx = tx;
}

}  // namespace

int txrl_clear(txrl* tl) {
  if (null_txrl(tl)) return kParam;
  memset(tl, 0, sizeof *tl);
  return 0;
}

int txrl_load_file(txrl* tl, txr* tx, const char* fname) {
  if (null_txrl(tl)) return kParam;
  if (!tx || !tx->rlang || !fname || !*fname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - txrl: %p, txr: %p, fname: `%s'.", (void*)tl, (void*)tx,
            mox_nul(fname));
    return kParam;
  }
  start(tl, tx);
  open_file(tl, fname);
  return run(tl);
}

int txrl_load_data(txrl* tl, txr* tx, const void* data, unsigned datasize) {
  if (null_txrl(tl)) return kParam;
  if (!tx || !tx->rlang || !data) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - txrl: %p, txr: %p, data: %p, datasize: %u.", (void*)tl, (void*)tx,
            data, datasize);
    return kParam;
  }
  start(tl, tx);
  int type = mox_ftype(data, datasize);
  if (type == MOX_FTYPE_GZIP) {
    ERR_LOG(ERR_ERR, kUnsupported, "`gz' is not supported.");
    return record(tl, kUnsupported, "`gz' is not supported.");
  }
  push(tl, "", nullptr, static_cast<const char*>(data), datasize, type == MOX_FTYPE_BZIP2);
  return run(tl);
}
