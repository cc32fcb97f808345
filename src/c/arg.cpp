#include "c/arg.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kSyntax = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;

constexpr const char* kDelims = " \t\r\n";
constexpr unsigned kWordSize = 1024;
constexpr unsigned kGrowth = 64;
constexpr unsigned kVarNameSize = 256;

bool null_arg(const arg* a) {
  if (a) return false;
  ERR_LOG(ERR_ERR, kParam, "`arg' is NUL.");
  return true;
}

// Appends the word buffer's wlen bytes to argv, which stays null-terminated.
int push_word(arg* a, unsigned wlen) {
  if ((unsigned)a->argc + 1 >= a->capacity) {
    unsigned ncap = a->capacity + a->growth;
    size_t size = (size_t)ncap * sizeof(char*);
    char** nv = (char**)realloc(a->argv, size);
    if (!nv) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)size);
      return kNoMem;
    }
    a->argv = nv;
    a->capacity = ncap;
  }
  char* w = (char*)malloc(wlen + 1);
  if (!w) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", wlen);
    return kNoMem;
  }
  memcpy(w, a->wbuf, wlen);
  w[wlen] = 0;
  a->argv[a->argc++] = w;
  a->argv[a->argc] = nullptr;
  return 0;
}

// State of the word being read: its bytes go to the record's buffer.
struct word {
  arg* a;
  const char* text;  // the whole text, for messages
  unsigned len;      // its length
  unsigned start;    // where the word began
  unsigned wlen;     // bytes in the buffer
  bool present;
};

int put(word& w, char c) {
  if (w.wlen + 1 >= w.a->wsize) {
    ERR_LOG(ERR_ERR, kCut, "`v' size [%u] too small - strp[len:%u]: `%.*s'.", w.a->wsize, w.len - w.start,
            (int)(w.len - w.start), w.text + w.start);
    return kCut;
  }
  w.a->wbuf[w.wlen++] = c;
  w.present = true;
  return 0;
}

// ${NAME} at text[*pos] (the '$'); *pos is left on the closing '}'.
int put_var(word& w, unsigned* pos) {
  const char* p = w.text + *pos;
  unsigned rest = w.len - *pos;
  if (rest < 2 || p[1] != '{') {
    ERR_LOG(ERR_ERR, kParam, "Not variable [%.*s].", (int)rest, p);
    return kParam;
  }
  const char* close = (const char*)memchr(p + 2, '}', rest - 2);
  if (!close || close == p + 2) {
    ERR_LOG(ERR_ERR, kSyntax, "Invalid variable name [%.*s].", (int)rest, p);
    return kSyntax;
  }
  unsigned nlen = (unsigned)(close - (p + 2));
  char name[kVarNameSize];
  int err = 0;
  mox_strncpy(name, sizeof name, p + 2, nlen, &err);
  if (err) {
    ERR_LOG(ERR_ERR, kCut, "mox_strncpy() failed - size: %u, varp: %u `%s'.", (unsigned)sizeof name, nlen, name);
    return kCut;
  }
  *pos += nlen + 2;
  const char* v = arg_getenv(name);
  if (!v) return 0;
  unsigned vlen = (unsigned)strlen(v);
  if (w.wlen + vlen >= w.a->wsize) {
    ERR_LOG(ERR_ERR, kCut, "mox_strcpy() failed - size: %u, varp: %u `%s'.", w.a->wsize - w.wlen, vlen, v);
    return kCut;
  }
  memcpy(w.a->wbuf + w.wlen, v, vlen);
  w.wlen += vlen;
  w.present = true;
  return 0;
}

// Reads one word from text[*pos]; *pos ends on the delimiter after it or at len.
int read_word(arg* a, const char* text, unsigned len, unsigned* pos) {
  unsigned i = *pos;
  while (i < len && text[i] && strchr(a->delims, text[i])) ++i;
  word w{a, text, len, i, 0, false};
  bool sq = false, dq = false;
  const bool esc = (a->flags & ARG_F_ESC) != 0;
  const bool var = (a->flags & ARG_F_VAR) != 0;
  int rc = 0;
  for (; i < len && text[i] && rc == 0; ++i) {
    char c = text[i];
    if (!sq && !dq && strchr(a->delims, c)) break;
    if (c == '\'' && !dq) {
      sq = !sq;
      w.present = true;
    } else if (c == '"' && !sq) {
      dq = !dq;
      w.present = true;
    } else if (c == '\\' && esc && !sq && i + 1 < len && text[i + 1]) {
      char n = text[i + 1];
      if (n == '\n') {
        ++i;
      } else if (n == '\r' && i + 2 < len && text[i + 2] == '\n') {
        i += 2;
      } else if (!dq || n == '"' || n == '$' || n == '\\') {
        rc = put(w, n);
        ++i;
      } else {
        rc = put(w, c);
      }
    } else if (c == '$' && var && !sq) {
      rc = put_var(w, &i);
    } else {
      rc = put(w, c);
    }
  }
  *pos = i;
  return rc ? rc : (w.present ? push_word(a, w.wlen) : 0);
}

}  // namespace

const char* arg_getenv(const char* name) { return name ? getenv(name) : nullptr; }

int arg_clear(arg* a) {
  if (null_arg(a)) return kParam;
  memset(a, 0, sizeof *a);
  return 0;
}

int arg_free(arg* a) {
  if (null_arg(a)) return kParam;
  if (a->argv) {
    for (int i = 0; i < a->argc; ++i) free(a->argv[i]);
    free(a->argv);
  }
  free(a->delims);
  free(a->wbuf);
  return arg_clear(a);
}

int arg_init(arg* a, unsigned flags, const char* delims, unsigned wsize, unsigned growth) {
  if (null_arg(a)) return kParam;
  arg_free(a);
  a->flags = flags;
  a->wsize = wsize ? wsize : kWordSize;
  a->growth = growth ? growth : kGrowth;
  const char* d = delims ? delims : kDelims;
  int err = 0;
  a->delims = mox_strndup(d, (unsigned)strlen(d), &err);
  a->argv = (char**)calloc(1, sizeof(char*));
  a->wbuf = (char*)malloc(a->wsize + 1);
  if (!a->delims || !a->argv || !a->wbuf) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", a->wsize + 1);
    arg_free(a);
    return kNoMem;
  }
  a->capacity = 1;
  return 0;
}

int arg_split_n(arg* a, const char* text, unsigned len) {
  if (null_arg(a)) return kParam;
  if (!a->argv || !a->wbuf || !a->delims) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - arg: %p, argv: %p.", (void*)a, (void*)a->argv);
    return kParam;
  }
  if (!text) return 0;
  unsigned pos = 0;
  while (pos < len && text[pos]) {
    int rc = read_word(a, text, len, &pos);
    if (rc) return rc;
  }
  return 0;
}

int arg_split(arg* a, const char* text) { return arg_split_n(a, text, text ? (unsigned)strlen(text) : 0); }
