#include "rex/ltmatch.h"

#include <cstdlib>
#include <cstring>

#include "c/dv.h"
#include "c/str.h"
#include "err/err.h"
#include "rex/rexmatch.h"

namespace {

constexpr int kSyntax = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kLimit = 9009;

struct shape_def {
  int id;
  const char* name;  // the letters of the parts, in tag order
  const char* patt;
};

constexpr shape_def kShapes[] = {
    {2, "l", "(%2l|%3l)"},
    {3, "l-r", "(%2l|%3l)-(%2l|%3d)"},
    {4, "l-r-v", "(%2l|%3l)-(%2l|%3d)-(%l%c%c%c(%c)+|%d%c%c(%c)+)"},
    {5, "l-s", "(%2l|%3l)-%4l"},
    {6, "l-s-r", "(%2l|%3l)-%4l-(%2l|%3d)"},
    {7, "l-s-r-v", "(%2l|%3l)-%4l-(%2l|%3d)-(%l%c%c%c(%c)+|%d%c%c(%c)+)"},
    {8, "l-v", "(%2l|%3l)-(%l%c%c%c(%c)+|%d%c%c(%c)+)"},
    {9, "l-x", "(%2l|%3l)-%3l"},
    {10, "l-x-r", "(%2l|%3l)-%3l-(%2l|%3d)"},
    {11, "l-x-r-v", "(%2l|%3l)-%3l-(%2l|%3d)-(%l%c%c%c(%c)+|%d%c%c(%c)+)"},
    {12, "l-x-s", "(%2l|%3l)-%3l-%4l"},
    {13, "l-x-s-r", "(%2l|%3l)-%3l-%4l-(%2l|%3d)"},
    {14, "l-x-s-r-v", "(%2l|%3l)-%3l-%4l-(%2l|%3d)-(%l%c%c%c(%c)+|%d%c%c(%c)+)"},
};

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline ltr* node_ltr(const list_node* node) { return *static_cast<ltr**>(list_data(node)); }

// The shape elements: N letters, digits, or letters or digits.
int ltm_elem(char letter, int n, char* lists, unsigned size) {
  const char* chl;
  switch (letter) {
    case 'l': chl = "[a-z]"; break;
    case 'd': chl = "[0-9]"; break;
    case 'c': chl = "[a-z0-9]"; break;
    default: return kParam;
  }
  if (n < 0) n = 1;
  lists[0] = 0;
  for (int i = 0; i < n; i++) {
    int e = 0;
    mox_strcat(lists, size, chl, &e);
    if (e) return kLimit;
  }
  return 0;
}

int add_shape(ltm* lt, const shape_def& def) {
  int e = ltm_list_add(&lt->shapes, def.id, def.name, def.patt, ltm_elem);
  if (e) ERR_LOG(ERR_ERR, e, "Invalid param - ltm: %p, patt: `%s'.", (void*)lt, def.patt);
  return e;
}

// Nullability of the open groups, so that '+' is never put on a group that can
// match the empty text (which would make a loop of empty lines).
struct grp_state {
  bool alt_empty;   // the current alternative has no required atom yet
  bool any_empty;   // an earlier alternative can match the empty text
};

constexpr int kMaxDepth = 32;

int syntax(char c, const char* patt) {
  ERR_LOG(ERR_ERR, kParam, "Invalid syntax [%c] - patt: `%s'.", c ? c : '%', patt);
  return kParam;
}

}  // namespace

int ltm_compile_patt(rexm* re, const char* patt, ltm_elem_cb elem) {
  if (!re || !patt || !elem) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, patt: `%s'.", (void*)re, mox_nul(patt));
    return kParam;
  }
  grp_state grp[kMaxDepth + 1] = {{true, false}};
  int depth = 0;
  int e = 0;
  for (const char* p = patt; *p && !e; p++) {
    char c = *p;
    if (c == '%') {
      int n = -1;
      if (p[1] >= '0' && p[1] <= '9') n = *++p - '0';
      char letter = *++p;
      if (!letter) return syntax(letter, patt);
      char lists[128];
      if (elem(letter, n, lists, sizeof lists)) return syntax(letter, patt);
      for (const char* q = lists; *q && !e;) {
        unsigned len = 0;
        e = rexm_add_chl(re, q, 0, &len);
        if (!len) break;
        q += len;
      }
      if (lists[0]) grp[depth].alt_empty = false;
    } else if (c == '(') {
      if (depth == kMaxDepth) {
        ERR_LOG(ERR_ERR, kLimit, "Max group depth [%d] exceeded - patt: `%s'.", kMaxDepth, patt);
        return kLimit;
      }
      e = rexm_group(re);
      grp[++depth] = {true, false};
    } else if (c == ')') {
      if (!depth) return syntax(c, patt);
      bool empty = grp[depth].alt_empty || grp[depth].any_empty;
      char q = (p[1] == '+' || p[1] == '?') ? p[1] : 0;
      if (q == '+' && empty) return syntax(q, patt);
      if (q) p++;
      e = rexm_group_end(re, q);
      depth--;
      if (!empty && q != '?') grp[depth].alt_empty = false;
    } else if (c == '|') {
      e = rexm_alt(re);
      grp[depth].any_empty = grp[depth].any_empty || grp[depth].alt_empty;
      grp[depth].alt_empty = true;
    } else {
      if (c == '\\') {
        if (!p[1]) break;  // a lone escape at the end stands for nothing
        c = *++p;
        if (c == 't') c = '\t';
      }
      e = rexm_add_char(re, (unsigned char)c, 0);
      grp[depth].alt_empty = false;
    }
  }
  if (e) return e;
  if (depth) return syntax('(', patt);
  return rexm_finish(re);
}

int ltm_compile(rexm* re, const char* patt) { return ltm_compile_patt(re, patt, ltm_elem); }

int ltm_list_add(list* l, int id, const char* name, const char* patt, ltm_elem_cb elem) {
  if (!l || !name || !patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - l: %p, name: `%s', patt: `%s'.", (void*)l, mox_nul(name), mox_nul(patt));
    return kParam;
  }
  ltr* r = static_cast<ltr*>(calloc(1, sizeof(ltr)));
  if (!r) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(ltr));
    return kNoMem;
  }
  int e = rexm_init(&r->re, REXM_ICASE, nullptr);
  if (!e) e = ltm_compile_patt(&r->re, patt, elem);
  if (!e) {
    r->id = id;
    r->name = strdup(name);
    if (!r->name) {
      ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(name));
      e = kNoMem;
    }
  }
  if (!e) list_append(l, &r, &e);
  if (e) {
    rexm_free(&r->re);
    free(r->name);
    free(r);
  }
  return e;
}

const ltr* ltm_list_find(const list* l, const char* str, int* err) {
  set_err(err, 0);
  if (!l || !str) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - l: %p, str: `%s'.", (const void*)l, mox_nul(str));
    set_err(err, kParam);
    return nullptr;
  }
  for (const list_node* n = list_first(l); n; n = list_next(n)) {
    const ltr* r = node_ltr(n);
    if (!r) continue;
    int e = 0;
    int m = rexm_match(&r->re, str, &e);
    if (e) {
      set_err(err, e);
      return nullptr;
    }
    if (m) return r;
  }
  return nullptr;
}

void ltm_list_free(list* l, const char* what) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`l' is NUL.");
    return;
  }
  for (list_node* n = list_first(l); n; n = list_next(n)) {
    ltr* r = node_ltr(n);
    if (!r) {
      ERR_LOG(ERR_ERR, kParam, "`%s' is NULL - %s[%p]: %p.", what, what, list_data(n), (void*)r);
      continue;
    }
    rexm_free(&r->re);
    free(r->name);
    free(r);
  }
  list_free(l);
}

int ltm_clear(ltm* lt) {
  if (!lt) {
    ERR_LOG(ERR_ERR, kParam, "`ltm' is NUL.");
    return kParam;
  }
  memset(lt, 0, sizeof *lt);
  return 0;
}

int ltm_free(ltm* lt) {
  if (!lt) {
    ERR_LOG(ERR_ERR, kParam, "`ltm' is NUL.");
    return kParam;
  }
  ltm_list_free(&lt->shapes, "ltr");
  return ltm_clear(lt);
}

int ltm_init(ltm* lt) {
  if (!lt) {
    ERR_LOG(ERR_ERR, kParam, "`ltm' is NUL.");
    return kParam;
  }
  ltm_clear(lt);
  int e = list_init(&lt->shapes, sizeof(ltr*), 0, nullptr, nullptr, nullptr, nullptr);
  for (const shape_def& def : kShapes) {
    if (e) break;
    e = add_shape(lt, def);
  }
  return e;
}

int ltm_match(const ltm* lt, const char* tag, char* lang, unsigned langsz, char* extlang, unsigned extlangsz,
              char* scr, unsigned scrsz, char* rgn, unsigned rgnsz, char* var, unsigned varsz, int* err) {
  set_err(err, 0);
  if (!lt) {
    ERR_LOG(ERR_ERR, kParam, "`ltm' is NUL.");
    set_err(err, kParam);
    return 0;
  }
  if (!lang || !langsz || !extlang || !extlangsz || !scr || !scrsz || !rgn || !rgnsz || !var || !varsz) {
    ERR_LOG(ERR_ERR, kParam,
            "Invalid param - ltm: %p, lang: %p [%u], extlang: %p [%u], scr: %p [%u], rgn: %p [%u], var: %p [%u].",
            (const void*)lt, (void*)lang, langsz, (void*)extlang, extlangsz, (void*)scr, scrsz, (void*)rgn, rgnsz,
            (void*)var, varsz);
    set_err(err, kParam);
    return 0;
  }
  *lang = *extlang = *scr = *rgn = *var = 0;
  if (!tag || !*tag) return 0;

  int e = 0;
  const ltr* shape = ltm_list_find(&lt->shapes, tag, &e);
  if (!shape) {
    set_err(err, e);
    return 0;
  }

  if (!shape->name || !*shape->name) {
    ERR_LOG(ERR_ERR, kSyntax, "Invalid fmt [%d] - `%s'.", shape->id, tag);
    set_err(err, kSyntax);
    return 0;
  }
  char val[LTM_SUBTAG_SIZE];
  dv rd;
  dv_init(&rd, 0, 0, val, sizeof val);
  const char* str = tag;
  for (const char* k = shape->name; *k; k++) {
    if (*k == '-') continue;
    const char* v = dv_next(&rd, str, "-");
    str = nullptr;
    if (!v) break;
    switch (*k) {
      case 'l': mox_strcpy(lang, langsz, v); break;
      case 'x': mox_strcpy(extlang, extlangsz, v); break;
      case 's': mox_strcpy(scr, scrsz, v); break;
      case 'r': mox_strcpy(rgn, rgnsz, v); break;
      case 'v': mox_strcpy(var, varsz, v); break;
      default:
        ERR_LOG(ERR_ERR, kSyntax, "Invalid fmt [%d] - `%s'.", shape->id, tag);
        *lang = *extlang = *scr = *rgn = *var = 0;
        set_err(err, kSyntax);
        return 0;
    }
  }
  return 1;
}
