// Resource file loader: a hand-written scanner over a stack of sources (files,
// plain images, bzip2 images decompressed as they are read) and a line parser
// that stores each entry with xrm_put.
#include "xrm/xrm_load.h"

#include <bzlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "c/ftype.h"
#include "c/str.h"
#include "c/strmacro.h"
#include "err/err.h"

struct xrml_src {
  char* name;  // owned; "" for an image in memory
  FILE* fp;
  unsigned line;
  unsigned char* buf;  // XRML_BUF_SIZE bytes for files and bzip2 images
  const unsigned char* p;
  const unsigned char* end;
  bool eof;  // nothing more to read
  const unsigned char* data;  // image in memory
  unsigned datasize;
  bool bz;
  bool bzopen;  // decompressor initialised
  bool bzdone;  // stream end seen
  bz_stream strm;
};

namespace {

constexpr int kEos = -1;    // end of the current source
constexpr int kFatal = -2;  // a read failed; the load ends
constexpr unsigned kShowMax = 1000;

// Keeps the first failure and logs every one where it is detected.
#define XRML_FAIL(l, code, ...)                        \
  do {                                                 \
    char m_[XRML_ERRTEXT_SIZE];                        \
    mox_snprintf(m_, sizeof m_, __VA_ARGS__);          \
    ERR_LOG(ERR_ERR, (code), "%s", m_);                \
    first_error((l), (code), m_);                      \
  } while (0)

void first_error(xrml* l, int code, const char* text) {
  if (l->err) return;
  l->err = code;
  mox_strcpy(l->errtext, sizeof l->errtext, text);
}

enum Tok { T_END, T_EOL, T_SPEC, T_COLON, T_VALUE, T_ERR, T_FATAL };
enum Mode { M_INIT, M_AFTER_SPEC, M_VALUE };

bool spec_char(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}
bool binding_char(int c) { return c == '*' || c == '.'; }
bool has_dir(const char* name) { return strpbrk(name, "\\/:") != nullptr; }

class Scanner {
 public:
  explicit Scanner(xrml* l) : l_(l) {}
  ~Scanner() {
    while (l_->nsrcs) pop();
    free(text_);
    free(value_);
  }
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  int setup() {
    text_ = static_cast<char*>(malloc(XRML_VALUE_MAX + 1));
    value_ = static_cast<char*>(malloc(XRML_VALUE_MAX));
    if (!text_ || !value_) {
      XRML_FAIL(l_, 9004, "size: %u.", XRML_VALUE_MAX);
      return 9004;
    }
    return 0;
  }
  int push_file(const char* name);
  int push_data(const void* data, unsigned size, bool bz);
  Tok next();
  const char* text() const { return text_; }
  unsigned textlen() const { return len_; }
  const char* value() const { return value_; }
  const char* fname() const { return l_->cur ? l_->cur->name : ""; }
  unsigned line() const { return tokline_; }

 private:
  xrml_src* push(const char* name);
  bool pop();
  int refill(xrml_src* s);
  int peek();
  void take();
  Tok error_token(const char* prefix, unsigned n);
  Tok spec_token();
  Tok value_token();
  bool include_line();
  int include(char* name);

  xrml* l_;
  char* text_ = nullptr;   // the current token as written
  unsigned len_ = 0;
  char* value_ = nullptr;  // the decoded value
  Mode mode_ = M_INIT;
  bool bol_ = true;
  int pending_ = 0;  // a binding character that could not continue a resource pattern
  bool fatal_ = false;
  unsigned tokline_ = 1;  // line where the current token began
};

xrml_src* Scanner::push(const char* name) {
  if (l_->nsrcs >= XRML_INCLUDE_MAX) {
    XRML_FAIL(l_, 9009, "Max includes [%u] exceeded - db: %p, fname: `%s'.", XRML_INCLUDE_MAX, (void*)l_->xdb, name);
    return nullptr;
  }
  xrml_src* s = &l_->srcs[l_->nsrcs];
  memset(s, 0, sizeof *s);
  s->name = mox_strndup(name, (unsigned)strlen(name));
  if (!s->name) {
    first_error(l_, 9004, "strdup() failed.");
    return nullptr;
  }
  s->line = 1;
  ++l_->nsrcs;
  l_->cur = s;
  bol_ = true;
  return s;
}

// false when closing failed
bool Scanner::pop() {
  xrml_src* s = &l_->srcs[l_->nsrcs - 1];
  bool ok = true;
  if (s->fp) fclose(s->fp);
  if (s->bzopen && BZ2_bzDecompressEnd(&s->strm) != BZ_OK) {
    XRML_FAIL(l_, 9001, "BZ2_bzDecompressEnd() error.");
    ok = false;
  }
  free(s->buf);
  free(s->name);
  memset(s, 0, sizeof *s);
  --l_->nsrcs;
  l_->cur = l_->nsrcs ? &l_->srcs[l_->nsrcs - 1] : nullptr;
  bol_ = false;  // the including line goes on after the name
  return ok;
}

int Scanner::push_file(const char* name) {
  xrml_src* s = push(name);
  if (!s) return l_->err;
  s->fp = fopen(name, "rb");
  if (!s->fp) {
    const int e = errno;
    ERR_LOG(ERR_ERR, 9001, "%s", strerror(e));
    XRML_FAIL(l_, 9001, "Failed to open file `%s'.", name);
    return 9001;
  }
  s->buf = static_cast<unsigned char*>(malloc(XRML_BUF_SIZE));
  if (!s->buf) {
    XRML_FAIL(l_, 9001, "yy_create_buffer() failed - size: %u.", XRML_BUF_SIZE);
    return 9001;
  }
  s->p = s->end = s->buf;
  return 0;
}

int Scanner::push_data(const void* data, unsigned size, bool bz) {
  xrml_src* s = push("");
  if (!s) return l_->err;
  s->data = static_cast<const unsigned char*>(data);
  s->datasize = size;
  s->p = s->end = s->data;
  if (!bz) return 0;
  s->bz = true;
  s->buf = static_cast<unsigned char*>(malloc(XRML_BUF_SIZE));
  if (!s->buf) {
    XRML_FAIL(l_, 9001, "yy_create_buffer() failed - size: %u.", XRML_BUF_SIZE);
    return 9001;
  }
  s->p = s->end = s->buf;
  if (BZ2_bzDecompressInit(&s->strm, 0, 0) != BZ_OK) {
    XRML_FAIL(l_, 9001, "BZ2_bzDecompressInit() error.");
    return 9001;
  }
  s->bzopen = true;
  s->strm.next_in = const_cast<char*>(reinterpret_cast<const char*>(s->data));
  s->strm.avail_in = size;
  return 0;
}

// 0 with new bytes or at the end (eof set); a code when reading failed.
int Scanner::refill(xrml_src* s) {
  if (s->eof) return 0;
  if (s->fp) {
    size_t n = fread(s->buf, 1, XRML_BUF_SIZE, s->fp);
    if (!n) {
      s->eof = true;
      if (ferror(s->fp)) {
        XRML_FAIL(l_, 9001, "fread() failed - fname: `%s'.", s->name);
        return 9001;
      }
    }
    s->p = s->buf;
    s->end = s->buf + n;
    return 0;
  }
  if (!s->bz) {
    s->p = s->data;
    s->end = s->data + s->datasize;
    s->eof = true;
    return 0;
  }
  while (!s->bzdone) {
    s->strm.next_out = reinterpret_cast<char*>(s->buf);
    s->strm.avail_out = XRML_BUF_SIZE;
    const unsigned in_before = s->strm.avail_in;
    const int rc = BZ2_bzDecompress(&s->strm);
    if (rc != BZ_OK && rc != BZ_STREAM_END) {
      XRML_FAIL(l_, 9001, "BZ2_bzDecompress() error.");
      return 9001;
    }
    if (rc == BZ_STREAM_END) s->bzdone = true;
    const unsigned n = XRML_BUF_SIZE - s->strm.avail_out;
    if (n) {
      s->p = s->buf;
      s->end = s->buf + n;
      return 0;
    }
    if (!s->bzdone && s->strm.avail_in == in_before) {  // no progress: the image is cut short
      XRML_FAIL(l_, 9001, "BZ2_bzDecompress() error.");
      return 9001;
    }
  }
  s->eof = true;
  return 0;
}

int Scanner::peek() {
  if (fatal_) return kFatal;
  xrml_src* s = l_->cur;
  while (s->p == s->end) {
    if (s->eof) return kEos;
    if (refill(s)) {
      fatal_ = true;
      return kFatal;
    }
  }
  return *s->p;
}

void Scanner::take() {
  xrml_src* s = l_->cur;
  if (*s->p++ == '\n') {
    ++s->line;
    bol_ = true;
  } else {
    bol_ = false;
  }
}

// The rest of the line after what was already taken (prefix, n bytes); the text
// kept is cut at kShowMax bytes.
Tok Scanner::error_token(const char* prefix, unsigned n) {
  len_ = 0;
  for (unsigned i = 0; i < n && len_ < kShowMax; ++i) text_[len_++] = prefix[i];
  for (int c; (c = peek()) >= 0 && c != '\n';) {
    if (len_ < kShowMax) text_[len_++] = (char)c;
    take();
  }
  if (peek() == kFatal) return T_FATAL;
  if (len_ && text_[len_ - 1] == '\r') --len_;  // a line end of the system's kind
  text_[len_] = 0;
  mode_ = M_INIT;
  return T_ERR;
}

Tok Scanner::spec_token() {
  len_ = 0;
  int c = peek();
  if (binding_char(c)) {
    text_[len_++] = (char)c;
    take();
  }
  for (;;) {
    c = peek();
    if (!spec_char(c)) break;
    while (spec_char(c = peek())) {
      if (len_ >= XRML_SPEC_MAX - 1) {
        XRML_FAIL(l_, 9009, "Max xrm spec length [%u] exceeded - spec: `%.*s'.", XRML_SPEC_MAX, (int)len_, text_);
        return T_FATAL;
      }
      text_[len_++] = (char)c;
      take();
    }
    if (!binding_char(c)) break;
    take();
    if (!spec_char(peek())) {  // a binding must be followed by a component
      pending_ = c;
      break;
    }
    text_[len_++] = (char)c;
  }
  if (c == kFatal || peek() == kFatal) return T_FATAL;
  if (!len_ || (len_ == 1 && binding_char(text_[0]))) {  // no component at all
    char pre[1] = {len_ ? text_[0] : (char)pending_};
    pending_ = 0;
    return error_token(pre, 1);
  }
  text_[len_] = 0;
  mode_ = M_AFTER_SPEC;
  return T_SPEC;
}

Tok Scanner::value_token() {
  unsigned raw = 0;  // bytes as written, continuations included
  len_ = 0;
  for (int c; (c = peek()) >= 0 && c != '\n';) {
    take();
    ++raw;
    if (c == '\\') {
      int d = peek();
      if (d == '\r') {
        take();
        ++raw;
        if (peek() == '\n') {
          take();
          ++raw;
          continue;
        }
        text_[len_++] = '\\';
        c = '\r';
      } else if (d == '\n') {
        take();
        ++raw;
        continue;
      }
    }
    if (raw >= XRML_VALUE_MAX || len_ + 1 >= XRML_VALUE_MAX) {
      XRML_FAIL(l_, 9009, "Max xrm value length [%u] exceeded - value: `%.*s'.", XRML_VALUE_MAX,
                (int)(len_ < kShowMax ? len_ : kShowMax), text_);
      return T_FATAL;
    }
    text_[len_++] = (char)c;
  }
  if (peek() == kFatal) return T_FATAL;
  if (raw >= XRML_VALUE_MAX) {
    XRML_FAIL(l_, 9009, "Max xrm value length [%u] exceeded - value: `%.*s'.", XRML_VALUE_MAX,
              (int)(len_ < kShowMax ? len_ : kShowMax), text_);
    return T_FATAL;
  }
  text_[len_] = 0;
  mode_ = M_INIT;
  char* v = mox_trim(text_);
  if (mox_str_unescape(value_, XRML_VALUE_MAX, v)) {
    XRML_FAIL(l_, 9005, "str_import() failed - size: %u, ival: `%s'.", XRML_VALUE_MAX, v);
    return T_FATAL;
  }
  return T_VALUE;
}

// At a line start with "#" next: an include line is handled here (true); any
// other "#" line becomes an error token (false, token in text_).
bool Scanner::include_line() {
  static constexpr char kw[] = "#include";
  char got[sizeof kw];
  unsigned n = 0;
  while (n < sizeof kw - 1) {
    int c = peek();
    if (c < 0 || (c | 0x20) != (kw[n] | 0x20) || (n == 0 && c != '#')) break;
    got[n++] = (char)c;
    take();
  }
  int c = peek();
  if (n < sizeof kw - 1 || (c != ' ' && c != '\t')) {
    error_token(got, n);
    return false;
  }
  take();
  char name[XRML_FNAME_MAX];
  unsigned len = 0;
  for (; (c = peek()) >= 0 && c != '\n'; take()) {
    if (len >= XRML_FNAME_MAX - 1) {
      XRML_FAIL(l_, 9009, "Max include name length [%u] exceeded - fname: `%.*s'.", XRML_FNAME_MAX - 1, (int)len,
                name);
      fatal_ = true;
      return true;
    }
    name[len++] = (char)c;
  }
  if (c == kFatal) return true;
  name[len] = 0;
  if (include(name)) fatal_ = true;
  return true;
}

int Scanner::include(char* name) {
  char* nm = mox_trim(name);
  char buf[XRML_FNAME_MAX];
  mox_strcpy(buf, sizeof buf, nm);
  int rc = strmacro_expand(buf, sizeof buf);
  if (rc) {
    XRML_FAIL(l_, rc, "strmacro_expand() failed - fname: `%s'.", nm);
    return rc;
  }
  char path[XRML_FNAME_MAX];
  const char* incl = fname();
  const char* sep = nullptr;
  for (const char* p = incl; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') sep = p;
  if (!has_dir(buf) && sep) {
    rc = mox_snprintf(path, sizeof path, "%.*s%s", (int)(sep - incl + 1), incl, buf);
    if (rc) {
      XRML_FAIL(l_, rc, "mox_snprintf() failed - size: %u.", (unsigned)sizeof path);
      return rc;
    }
  } else {
    mox_strcpy(path, sizeof path, buf);
  }
  return push_file(path);
}

Tok Scanner::next() {
  for (;;) {
    if (pending_) {
      char pre[1] = {(char)pending_};
      pending_ = 0;
      return error_token(pre, 1);
    }
    tokline_ = l_->cur->line;
    if (mode_ == M_VALUE) return value_token();  // also at an end: "spec :" stores
    int c = peek();
    if (c == kFatal) return T_FATAL;
    if (c == kEos) {
      if (l_->nsrcs > 1) {
        if (!pop()) {
          fatal_ = true;
          return T_FATAL;
        }
        continue;
      }
      len_ = 0;
      text_[0] = 0;
      return T_END;
    }
    if (bol_ && mode_ == M_INIT) {
      if (c == '!') {
        while ((c = peek()) >= 0 && c != '\n') take();
        continue;
      }
      if (c == '#') {
        if (include_line()) {
          if (fatal_) return T_FATAL;
          continue;
        }
        return fatal_ ? T_FATAL : T_ERR;
      }
    }
    if (c == ' ' || c == '\t') {
      take();
      continue;
    }
    if (c == '\n') {
      take();
      mode_ = M_INIT;
      len_ = 0;
      text_[0] = 0;
      return T_EOL;
    }
    if (c == '\r') {
      take();
      if (peek() == '\n') continue;
      const char cr[1] = {'\r'};
      return error_token(cr, 1);
    }
    if (mode_ == M_AFTER_SPEC) {
      if (c == ':') {
        take();
        mode_ = M_VALUE;
        text_[0] = ':';
        text_[1] = 0;
        len_ = 1;
        return T_COLON;
      }
      return error_token(nullptr, 0);
    }
    if (spec_char(c) || binding_char(c)) return spec_token();
    return error_token(nullptr, 0);
  }
}

void syntax_error(xrml* l, const Scanner& sc) {
  XRML_FAIL(l, 9001, "%s(%u) - %s: `%.*s'.", sc.fname(), sc.line(), "syntax error", (int)sc.textlen(), sc.text());
}

// The lines of every source: "spec : value", "spec :", empty lines, ignored lines.
void parse(xrml* l, Scanner& sc) {
  enum { LS, SPEC, COLON, NEED_EOL, SKIP } st = LS;
  unsigned nlines = 0;
  char spec[XRML_SPEC_MAX];
  for (;;) {
    const Tok t = sc.next();
    if (t == T_FATAL) return;
    if (t == T_END) {
      if (st != LS || !nlines) syntax_error(l, sc);
      return;
    }
    switch (st) {
      case LS:
        if (t == T_EOL) {
          ++nlines;
        } else if (t == T_SPEC) {
          mox_strcpy(spec, sizeof spec, sc.text());
          st = SPEC;
        } else {
          st = NEED_EOL;  // an ignored line
        }
        break;
      case SPEC:
        if (t == T_COLON) {
          st = COLON;
          break;
        }
        syntax_error(l, sc);
        if (t == T_EOL) {
          ++nlines;
          st = LS;
        } else {
          st = SKIP;
        }
        break;
      case COLON: {
        const char* v = sc.value();
        int rc = xrm_put(l->xdb, spec, 0, *v ? v : nullptr);
        if (rc) {
          char m[XRML_ERRTEXT_SIZE];
          mox_snprintf(m, sizeof m, "Invalid param - spec: `%s'.", spec);
          first_error(l, rc, m);
        }
        st = NEED_EOL;
        break;
      }
      case NEED_EOL:
      case SKIP:
        if (t == T_EOL) {
          ++nlines;
          st = LS;
        }
        break;
    }
  }
}

int bad_args(xrml* l, db* d) { return !l || !d || !d->owner; }

// The common frame of both loads: the loader cleared, the mutex held for the whole load.
template <typename Push>
int load(xrml* l, db* d, Push push) {
  xrml_free(l);
  l->xdb = d;
  l->srcs = static_cast<xrml_src*>(calloc(XRML_INCLUDE_MAX, sizeof(xrml_src)));
  if (!l->srcs) {
    XRML_FAIL(l, 9004, "size: %u.", (unsigned)(XRML_INCLUDE_MAX * sizeof(xrml_src)));
    return l->err;
  }
  int rc = xrm_lock(d);
  if (rc) {
    first_error(l, rc, "Mutex lock failed.");
    return rc;
  }
  {
    Scanner sc(l);
    if (!sc.setup() && !push(sc)) parse(l, sc);
  }
  xrm_unlock(d);
  free(l->srcs);
  l->srcs = nullptr;
  return l->err;
}

}  // namespace

void xrml_init(xrml* l) {
  if (!l) return;
  memset(l, 0, sizeof *l);
}

void xrml_free(xrml* l) {
  if (!l) return;
  free(l->srcs);
  memset(l, 0, sizeof *l);
}

int xrml_load_file(xrml* l, db* d, const char* fname) {
  if (bad_args(l, d) || !fname || !*fname) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - xrml: %p, db: %p, fname: `%s'.", (void*)l, (void*)d, mox_nul(fname));
    return 9003;
  }
  return load(l, d, [fname](Scanner& sc) { return sc.push_file(fname); });
}

int xrml_load_data(xrml* l, db* d, const void* data, unsigned datasize) {
  if (bad_args(l, d) || !data) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - xrml: %p, db: %p, data: %p, datasize: %u.", (void*)l, (void*)d, data,
            datasize);
    return 9003;
  }
  const int ft = mox_ftype(data, datasize);
  if (ft == MOX_FTYPE_GZIP) {
    xrml_free(l);
    l->xdb = d;
    XRML_FAIL(l, 9013, "`gz' is not supported.");
    return 9013;
  }
  return load(l, d, [&](Scanner& sc) { return sc.push_data(data, datasize, ft == MOX_FTYPE_BZIP2); });
}
