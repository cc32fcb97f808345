#include "quarnw/qncmdln.h"

#include <cstring>

#include "c/arg.h"
#include "c/str.h"
#include "err/err.h"
#include "fio/intf.h"
#include "quarn/quarnlib.h"
#include "quarnw/qnexfld.h"

namespace {

// Primaries whose operand is a comparison.
constexpr const char* kCmpPrims[] = {"ad", "Bd", "md", "size", "depth", "mmin", "mtime"};

// Characters that make a word need quotes: the reader's own and the interpreter's.
constexpr const char* kSpecial = " \t\"&|<>^";

struct out {
  char* buf;
  unsigned size;
  unsigned len;
  int rc;
  void put(const char* s, unsigned n) {
    if (rc) return;
    if (len + n + 1 > size) {
      ERR_LOG(ERR_ERR, 9005, "mox_snprintf() failed - size: %u.", size);
      rc = 9005;
      return;
    }
    std::memcpy(buf + len, s, n);
    len += n;
    buf[len] = 0;
  }
  void put(const char* s) { put(s, (unsigned)std::strlen(s)); }
  void put_ch(char c, unsigned times = 1) {
    for (unsigned i = 0; i < times; ++i) put(&c, 1);
  }
};

bool cmp_prim(const char* word, const char** value) {
  if (word[0] != '-') return false;
  const char* colon = std::strchr(word, ':');
  if (!colon) return false;
  const size_t n = (size_t)(colon - word - 1);
  for (const char* p : kCmpPrims)
    if (std::strlen(p) == n && std::strncmp(word + 1, p, n) == 0) {
      *value = colon + 1;
      return true;
    }
  return false;
}

void put_quoted(out* o, const char* w) {
  if (*w && !std::strpbrk(w, kSpecial)) {
    o->put(w);
    return;
  }
  // backslashes are literal except before a quote, where they are halved
  o->put_ch('"');
  unsigned bs = 0;
  for (const char* c = w; *c; ++c) {
    if (*c == '\\') {
      ++bs;
      continue;
    }
    if (*c == '"') {
      o->put_ch('\\', 2 * bs + 1);
    } else {
      o->put_ch('\\', bs);
    }
    bs = 0;
    o->put_ch(*c);
  }
  o->put_ch('\\', 2 * bs);
  o->put_ch('"');
}

void put_signed(out* o, const char* word) {
  const char* v = nullptr;
  if (!cmp_prim(word, &v)) {
    o->put(word);
    return;
  }
  const unsigned head = (unsigned)(v - word);
  const char* sign = nullptr;
  bool negate = false;
  unsigned skip = 0;
  if (v[0] == '>' && v[1] == '=') {
    sign = "-", negate = true, skip = 2;
  } else if (v[0] == '<' && v[1] == '=') {
    sign = "+", negate = true, skip = 2;
  } else if (v[0] == '>') {
    sign = "+", skip = 1;
  } else if (v[0] == '<') {
    sign = "-", skip = 1;
  }
  if (!sign) {
    o->put(word);
    return;
  }
  if (negate) o->put("! ");
  o->put(word, head);
  o->put(sign);
  o->put(v + skip);
}

// The words of an expression text: parted by blanks, a blank after a backslash kept.
template <class F>
int each_word(const char* text, F&& f) {
  char w[QNEXFLD_EXPR_SIZE];
  const char* s = text;
  for (;;) {
    while (*s == ' ') ++s;
    if (!*s) return 0;
    unsigned n = 0;
    for (; *s && *s != ' '; ++s) {
      if (n + 3 >= sizeof w) return 9005;
      if (*s == '\\' && s[1] == ' ') w[n++] = *s++;
      w[n++] = *s;
    }
    w[n] = 0;
    if (int rc = f(w)) return rc;
  }
}

}  // namespace

int qncmdln_quote(const char* word, char* buf, unsigned bufsize) {
  if (!word || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - word: %p, buf: %p, bufsize: %u.", (const void*)word, (void*)buf,
            bufsize);
    return 9003;
  }
  out o{buf, bufsize, 0, 0};
  buf[0] = 0;
  put_quoted(&o, word);
  if (o.rc) buf[0] = 0;
  return o.rc;
}

int qncmdln_signed(const char* word, char* buf, unsigned bufsize) {
  if (!word || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - word: %p, buf: %p, bufsize: %u.", (const void*)word, (void*)buf,
            bufsize);
    return 9003;
  }
  out o{buf, bufsize, 0, 0};
  buf[0] = 0;
  put_signed(&o, word);
  if (o.rc) buf[0] = 0;
  return o.rc;
}

int qncmdln_build(const qncmdln_src* src, char* buf, unsigned bufsize) {
  if (!src || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - src: %p, buf: %p, bufsize: %u.", (const void*)src, (void*)buf, bufsize);
    return 9003;
  }
  buf[0] = 0;
  out o{buf, bufsize, 0, 0};
  o.put("quarn");

  arg a{};
  int rc = arg_init(&a, 0, nullptr, 0, 0);
  if (!rc && src->paths) rc = arg_split(&a, src->paths);
  for (int i = 0; !rc && i < a.argc; ++i) {
    if (!*a.argv[i]) continue;  // the search passes over empty words too
    o.put_ch(' ');
    put_quoted(&o, a.argv[i]);
  }
  arg_free(&a);

  char expr[QNEXFLD_EXPR_SIZE];
  if (!rc) rc = qnexfld_expr(src->md, src->size, src->name, expr, sizeof expr);
  if (!rc)
    rc = each_word(expr, [&](const char* w) {
      char sw[QNEXFLD_EXPR_SIZE + 4];
      out s{sw, sizeof sw, 0, 0};
      put_signed(&s, w);
      if (s.rc) return s.rc;
      // "! " of a converted comparison is a word of its own
      const bool negated = std::strncmp(sw, "! ", 2) == 0;
      if (negated) o.put(" !");
      o.put_ch(' ');
      put_quoted(&o, negated ? sw + 2 : sw);
      return o.rc;
    });

  if (!rc && !src->ignorecase) o.put(" -ignorecase:no");
  if (!rc && src->de) {
    intf f;
    intf_init(&f, INTF_SIGNED);
    char v[32];
    rc = intf_to_str(&f, src->de->op, src->de->code, v, sizeof v);
    if (!rc) {
      o.put(" -disable-err:");
      o.put(v);
    }
  }
  if (!rc) rc = o.rc;
  if (rc) buf[0] = 0;
  return rc;
}
