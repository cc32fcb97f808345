#include "fm/ffiltcmd.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "c/arg.h"
#include "c/cmdparser.h"
#include "c/path.h"
#include "c/str.h"
#include "err/err.h"
#include "fm/ffiltcfg.h"
#include "xrm/xrm.h"

#if defined(_WIN32)
#define ffilt_strcasecmp _stricmp
#else
#include <strings.h>
#define ffilt_strcasecmp strcasecmp
#endif

namespace {

bool is_name_char(char c) {
  return isalnum((unsigned char)c) || c == '_' || c == '-';
}

int put(char* buf, unsigned bufsize, const char* text) {
  int rc = 0;
  mox_strcpy(buf, bufsize, text, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u.", bufsize);
  return rc;
}

}  // namespace

int ffilt_cmd(const char* cmdln, const char* prefix, ffilt_lookup_cb lookup, void* usrdata, char* buf,
              unsigned bufsize) {
  if (!buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - buf: %p, bufsize: %u.", (void*)buf, bufsize);
    return 9003;
  }
  *buf = 0;
  std::string line(cmdln ? cmdln : "");
  if (line.size() >= FFILT_CMDSIZE) line.resize(FFILT_CMDSIZE - 1);
  const size_t b = line.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return 0;
  line = line.substr(b, line.find_last_not_of(" \t\r\n") - b + 1);

  if (line[0] == '!') {
    size_t e = 1;
    while (e < line.size() && is_name_char(line[e])) ++e;
    if (e > 1 && (e == line.size() || line[e] == ' ' || line[e] == '\t')) {
      const std::string name = "ffiltCmdln." + line.substr(1, e - 1);
      std::vector<char> val(FFILT_CMDSIZE);
      if (lookup && lookup(name.c_str(), val.data(), (unsigned)val.size(), usrdata) == 0)
        return put(buf, bufsize, (std::string(val.data()) + line.substr(e)).c_str());
    }
    std::string rest = line.substr(1);
    const size_t rb = rest.find_first_not_of(" \t\r\n");
    rest = rb == std::string::npos ? "" : rest.substr(rb);
    return put(buf, bufsize, rest.c_str());
  }
  if (prefix && *prefix) {
    const int rc = mox_snprintf(buf, bufsize, "%s %s", prefix, line.c_str());
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", bufsize);
      *buf = 0;
    }
    return rc;
  }
  return put(buf, bufsize, line.c_str());
}

int ffilt_out_parse(const char* field, ffilt_out* o) {
  if (!o) {
    ERR_LOG(ERR_ERR, 9003, "`o' is NUL.");
    return 9003;
  }
  memset(o, 0, sizeof *o);
  cmdp cp{};
  int rc = cmdp_init(&cp);
  if (!rc) rc = cmdp_parse_str(&cp, field ? field : "", 0, nullptr);
  if (!rc) {
    const char* file = cmdp_nth_arg(&cp, 0);
    const char* err = cmdp_get_op(&cp, "err|e", nullptr);
    o->append = cmdp_has(&cp, "append|a");
    if (!file || !*file) rc = 9010;
    if (!rc) rc = put(o->out, sizeof o->out, file);
    if (!rc && err) rc = put(o->err, sizeof o->err, err);
  }
  cmdp_free(&cp);
  if (rc) {
    o->out[0] = o->err[0] = 0;
    o->append = 0;
  }
  return rc;
}

int ffilt_drop_text(const char* cur, const char* const* files, unsigned nfiles, ffilt_isdir_cb isdir,
                    void* usrdata, int ignorecase, int append, char* buf, unsigned bufsize) {
  if (!buf || !bufsize || (nfiles && !files)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - files: %p, buf: %p, bufsize: %u.", (const void*)files, (void*)buf,
            bufsize);
    return 9003;
  }
  *buf = 0;
  std::vector<std::string> seen;
  std::string text;
  auto present = [&](const std::string& p) {
    for (const std::string& s : seen)
      if ((ignorecase ? ffilt_strcasecmp(s.c_str(), p.c_str()) : strcmp(s.c_str(), p.c_str())) == 0) return true;
    return false;
  };
  if (append && cur) {
    arg words{};
    int rc = arg_init(&words, 0, nullptr, FFILT_CMDSIZE, 0);
    if (!rc) rc = arg_split(&words, cur);
    for (int i = 0; !rc && i < words.argc; ++i) seen.push_back(words.argv[i]);
    arg_free(&words);
    if (rc) return rc;
    text = cur;
    const size_t e = text.find_last_not_of(" \t\r\n");
    text.resize(e == std::string::npos ? 0 : e + 1);
  }
  for (unsigned i = 0; i < nfiles; ++i) {
    if (!files[i] || !*files[i]) continue;
    std::string p = files[i];
    if (!isdir || !isdir(p.c_str(), usrdata)) {
      char dir[FFILT_FILESIZE], fname[FFILT_FILESIZE];
      if (mox_split_dir_fname(p.c_str(), dir, sizeof dir, fname, sizeof fname)) continue;
      p = dir;
    }
    // "C:\a\" becomes "C:\a"; a root keeps its separator
    if (p.size() > 1 && (p.back() == '\\' || p.back() == '/') && p[p.size() - 2] != ':') p.pop_back();
    if (p.empty() || present(p)) continue;
    seen.push_back(p);
    char q[FFILT_FILESIZE + 3];
    int rc = 0;
    mox_quote_path(p.c_str(), q, sizeof q, &rc);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_quote_path() failed - size: %u.", (unsigned)sizeof q);
      return rc;
    }
    if (!text.empty()) text += ' ';
    text += q;
  }
  return put(buf, bufsize, text.c_str());
}

int ffilt_prepare(const ffiltdlgcfg* c, ffilt_lookup_cb lookup, void* usrdata, ffiltjob* job) {
  if (!c || !job) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, job: %p.", (const void*)c, (void*)job);
    return 9003;
  }
  memset(job, 0, sizeof *job);
  int rc = ffilt_cmd(c->cmdln, c->prefix, lookup, usrdata, job->cmd, sizeof job->cmd);
  if (!rc && c->cmdout) rc = ffilt_out_parse(c->cmdoutTo, &job->out);
  if (rc) memset(job, 0, sizeof *job);
  return rc;
}

int ffilt_xrm_lookup(const char* name, char* buf, unsigned bufsize, void* usrdata) {
  if (!usrdata) return 9006;
  return xrm_get_str(static_cast<db*>(usrdata), name, nullptr, 1, buf, bufsize);
}
