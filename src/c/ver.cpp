#include "c/ver.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr unsigned kBuildSize = 8192;
constexpr const char kSelectors[] = "+ all nvp v vp vpd vd vm vmm vmmr";

inline const char* txt(const char* s) { return s ? s : ""; }

bool same_word(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? (char)(*a - 'A' + 'a') : *a;
    char y = *b >= 'A' && *b <= 'Z' ? (char)(*b - 'A' + 'a') : *b;
    if (x != y) return false;
    if (!x) return true;
  }
}

// Appends formatted pieces to the build buffer; the first cut sticks.
struct Builder {
  char buf[kBuildSize];
  unsigned len = 0;
  int rc = 0;

  Builder() { buf[0] = 0; }

  void add(const char* format, ...) ERR_PRINTF_LIKE(2, 3) {
    if (rc) return;
    va_list ap;
    va_start(ap, format);
    rc = mox_vsnprintf(buf + len, kBuildSize - len, format, ap);
    va_end(ap);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kBuildSize - len);
      len = kBuildSize - 1;
    } else {
      len += (unsigned)strlen(buf + len);
    }
  }

  void labelled(const char* sep, const char* label, const char* value) {
    if (value && *value) add("%s  %s: %s", sep, label, value);
  }
};

void build(Builder& b, const ver_info* v, const char* selector, const char* sep) {
  const char* s = selector ? selector : "";
  if (strcmp(s, "+") == 0 || same_word(s, "all")) {
    b.add("%s %hu.%hu.%hu.%lu (%s) %s %s", txt(v->name), v->major, v->minor, v->patch, v->build, txt(v->platform),
          txt(v->date), txt(v->time));
    if (*s == '+') return;
    b.labelled(sep, "Product", v->product);
    b.labelled(sep, "Description", v->description);
    b.labelled(sep, "Copyright", v->copyright);
    b.labelled(sep, "Company", v->company);
    b.labelled(sep, "Web", v->web);
    b.labelled(sep, "Trademarks", v->trademarks);
    b.labelled(sep, "Computer", v->computer);
    b.labelled(sep, "Userid", v->userid);
    b.labelled(sep, "Target", v->target);
    b.labelled(sep, "System", v->system);
    b.labelled(sep, "OS", v->os);
    b.labelled(sep, "Compiler", v->compiler);
    b.labelled(sep, "Linker", v->linker);
    b.labelled(sep, "Comments", v->comments);
    for (const ver_pair* p = v->extra; p && p->label && *p->label; ++p) b.labelled(sep, p->label, p->value);
  } else if (same_word(s, "nvp")) {
    b.add("%s %hu.%hu.%hu.%lu (%s)", txt(v->name), v->major, v->minor, v->patch, v->build, txt(v->platform));
  } else if (same_word(s, "v")) {
    b.add("%hu.%hu.%hu.%lu", v->major, v->minor, v->patch, v->build);
  } else if (same_word(s, "vp")) {
    b.add("%hu.%hu.%hu.%lu (%s)", v->major, v->minor, v->patch, v->build, txt(v->platform));
  } else if (same_word(s, "vpd")) {
    b.add("%hu.%hu.%hu.%lu (%s) %s", v->major, v->minor, v->patch, v->build, txt(v->platform), txt(v->date));
  } else if (same_word(s, "vd")) {
    b.add("%hu.%hu.%hu.%lu %s", v->major, v->minor, v->patch, v->build, txt(v->date));
  } else if (same_word(s, "vm")) {
    b.add("%hu", v->major);
  } else if (same_word(s, "vmm")) {
    b.add("%hu.%hu", v->major, v->minor);
  } else if (same_word(s, "vmmr")) {
    b.add("%hu.%hu.%hu", v->major, v->minor, v->patch);
  } else if (same_word(s, "ls")) {
    b.add("%s %hu.%hu.%hu.%lu", txt(v->name), v->major, v->minor, v->patch, v->build);
  } else {
    b.add("%s", kSelectors);
  }
}

}  // namespace

char* ver_text(const ver_info* ver, const char* selector, const char* separator, char* buf, unsigned bufsize,
               int* err) {
  if (!ver || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ver: %p, buf, %p, bufsize: %u.", (const void*)ver, (void*)buf,
            bufsize);
    if (buf && bufsize) *buf = 0;
    if (err) *err = 9003;
    return buf;
  }
  Builder b;
  build(b, ver, selector, separator ? separator : "\n");
  int rc = 0;
  mox_strcpy(buf, bufsize, b.buf, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, ibuf: %u `%s'.", bufsize, b.len, b.buf);
  if (err) *err = b.rc ? b.rc : rc;
  return buf;
}

int ver_print(const ver_info* ver, const char* selector, const char* dest) {
  if (!ver) {
    ERR_LOG(ERR_ERR, 9003, "`ver' is NUL.");
    return 9003;
  }
  char text[kBuildSize];
  int rc = 0;
  ver_text(ver, selector, nullptr, text, sizeof text, &rc);
  FILE* out = stdout;
  FILE* file = nullptr;
  if (dest && *dest && !same_word(dest, "stdout")) {
    if (same_word(dest, "stderr")) {
      out = stderr;
    } else if ((file = fopen(dest, "w")) != nullptr) {
      out = file;
    } else {
      ERR_LOG(ERR_ERR, 9001, "fopen() failed [%s].", dest);
      if (!rc) rc = 9001;
    }
  }
  if (fprintf(out, "%s\n", text) < 0 && !rc) rc = 9001;
  fflush(out);
  int fd = file ? fileno(file) : -1;
  if (file && fclose(file) != 0) {
    ERR_LOG(ERR_ERR, 9001, "fclose() failed [%s] - fileno: %d.", dest, fd);
    if (!rc) rc = 9001;
  }
  return rc;
}
