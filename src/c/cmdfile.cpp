#include "c/cmdfile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/strmacro.h"
#include "err/err.h"

namespace {

constexpr int kSysErr = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kLimit = 9009;
constexpr int kEnd = 9016;

constexpr char kInclude[] = "!include";
constexpr unsigned kIncludeSize = 4096;
constexpr unsigned kLineSize = 2048;

bool null_cmdf(const cmdf* cf) {
  if (cf) return false;
  ERR_LOG(ERR_ERR, kParam, "`cmdf' is NUL.");
  return true;
}

inline int errno_code() { return errno ? errno : kSysErr; }

// --- the file functions: open, read one line, close

int push_file(cmdf* cf, const char* fname) {
  if (cf->depth >= CMDF_MAX_FILES) {
    ERR_LOG(ERR_ERR, kLimit, "Max includes [%u] exceeded - cmdf: %p, fname: `%s'.", (unsigned)CMDF_MAX_FILES,
            (void*)cf, fname);
    return kLimit;
  }
  errno = 0;
  FILE* fp = fopen(fname, "rb");
  if (!fp) {
    int rc = errno_code();
    ERR_LOG(ERR_ERR, rc, "Failed to open cmd file `%s'.", fname);
    return rc;
  }
  cf->fp[cf->depth++] = fp;
  return 0;
}

// One physical line of the top file, whole, into cf->line. 1: a line; 0: end of file.
int read_line(cmdf* cf, int* rc) {
  FILE* fp = cf->fp[cf->depth - 1];
  size_t len = 0;
  cf->line[0] = 0;
  for (;;) {
    if (cf->linesize - len < 2) {
      unsigned nsize = cf->linesize * 2;
      char* nl = (char*)realloc(cf->line, nsize);
      if (!nl) {
        ERR_LOG(ERR_ERR, kNoMem, "size: %u.", nsize);
        *rc = kNoMem;
        return 0;
      }
      cf->line = nl;
      cf->linesize = nsize;
    }
    errno = 0;
    if (!fgets(cf->line + len, (int)(cf->linesize - len), fp)) {
      if (ferror(fp)) {
        *rc = errno_code();
        ERR_LOG(ERR_ERR, *rc, "Read file error [%p].", (void*)fp);
        return 0;
      }
      return len > 0;
    }
    len += strlen(cf->line + len);
    if (len && cf->line[len - 1] == '\n') return 1;
  }
}

int pop_file(cmdf* cf) {
  FILE* fp = cf->fp[--cf->depth];
  cf->fp[cf->depth] = nullptr;
  errno = 0;
  if (fclose(fp) != 0) {
    int rc = errno_code();
    ERR_LOG(ERR_ERR, rc, "fclose() failed [%p].", (void*)fp);
    return rc;
  }
  return 0;
}

// --- assembling commands

size_t strip_eol(char* s) {
  size_t n = strlen(s);
  while (n && (s[n - 1] == '\r' || s[n - 1] == '\n')) s[--n] = 0;
  return n;
}

bool is_blank(const char* s, size_t n) {
  if (n && s[n - 1] == '\\') --n;
  for (size_t i = 0; i < n; ++i)
    if (!isspace((unsigned char)s[i])) return false;
  return true;
}

int cmd_append(cmdf* cf, const char* s, size_t n) {
  size_t have = strlen(cf->cmd);
  if (have + n + 1 > cf->cmdsize) {
    size_t nsize = have + n + 1 + kLineSize;
    char* nc = (char*)realloc(cf->cmd, nsize);
    if (!nc) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)nsize);
      return kNoMem;
    }
    cf->cmd = nc;
    cf->cmdsize = (unsigned)nsize;
  }
  int rc = 0;
  mox_strncat(cf->cmd, cf->cmdsize, s, (unsigned)n, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcat() failed - size: %u.", cf->cmdsize);
  return rc;
}

int include(cmdf* cf) {
  char name[kIncludeSize];
  mox_strcpy(name, sizeof name, cf->line + sizeof kInclude - 1);
  mox_trim(name);
  int rc = strmacro_expand(name, sizeof name);
  return rc ? rc : push_file(cf, name);
}

// Appends the continuation lines after a line that ended with '\'.
int continue_cmd(cmdf* cf) {
  for (;;) {
    int rc = 0;
    if (!read_line(cf, &rc)) return rc;  // end of file ends the command
    if (cf->line[0] == '#') continue;
    size_t n = strip_eol(cf->line);
    bool more = n && cf->line[n - 1] == '\\';
    rc = cmd_append(cf, cf->line, more ? n - 1 : n);
    if (rc || !more) return rc;
  }
}

}  // namespace

int cmdf_clear(cmdf* cf) {
  if (null_cmdf(cf)) return kParam;
  memset(cf, 0, sizeof *cf);
  return 0;
}

int cmdf_free(cmdf* cf) {
  if (null_cmdf(cf)) return kParam;
  while (cf->depth) pop_file(cf);
  free(cf->cmd);
  free(cf->line);
  free(cf->text);
  arg_free(&cf->a);
  cmdp_free(&cf->cp);
  return cmdf_clear(cf);
}

int cmdf_init(cmdf* cf, const char* fname, unsigned flags, const char* text, int n1, int n2, int n3, int n4,
              int n5) {
  if (null_cmdf(cf)) return kParam;
  if (!fname || !*fname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdf: %p, fname: `%s'.", (void*)cf, mox_nul(fname));
    return kParam;
  }
  cmdf_free(cf);
  cf->flags = flags;
  const int nums[5] = {n1, n2, n3, n4, n5};
  memcpy(cf->nums, nums, sizeof nums);
  int rc = 0;
  if (text) cf->text = mox_strndup(text, (unsigned)strlen(text), &rc);
  cf->cmd = (char*)malloc(kLineSize);
  cf->line = (char*)malloc(kLineSize);
  if (rc || !cf->cmd || !cf->line) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", kLineSize);
    cmdf_free(cf);
    return kNoMem;
  }
  cf->cmdsize = cf->linesize = kLineSize;
  cf->cmd[0] = cf->line[0] = 0;
  rc = arg_init(&cf->a, 0, nullptr, 0, 0);
  if (rc == 0) rc = cmdp_init(&cf->cp);
  if (rc == 0) rc = push_file(cf, fname);
  if (rc) cmdf_free(cf);
  return rc;
}

const char* cmdf_next(cmdf* cf, int* code) {
  int dummy;
  if (!code) code = &dummy;
  auto fail = [code](int rc) -> const char* {
    *code = rc;
    return nullptr;
  };
  if (null_cmdf(cf)) return fail(kParam);
  if (!cf->cmd) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdf: %p, cmd: %p.", (void*)cf, (void*)cf->cmd);
    return fail(kParam);
  }
  cf->cmd[0] = 0;
  *code = 0;
  while (cf->depth) {
    int rc = 0;
    if (!read_line(cf, &rc)) {
      if (rc == 0) rc = pop_file(cf);
      if (rc) return fail(rc);
      continue;
    }
    char* line = cf->line;
    if (line[0] == '#') continue;
    if (strncmp(line, kInclude, sizeof kInclude - 1) == 0) {
      if ((rc = include(cf)) != 0) return fail(rc);
      continue;
    }
    size_t n = strip_eol(line);
    if (is_blank(line, n)) continue;
    bool more = line[n - 1] == '\\';
    rc = cmd_append(cf, line, more ? n - 1 : n);
    if (rc == 0 && more) rc = continue_cmd(cf);
    return rc ? fail(rc) : cf->cmd;
  }
  return fail(kEnd);
}
