#include "ui/win32/lvw.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "fio/wndf.h"

namespace {

constexpr int kSys = 9001;
constexpr int kParam = 9003;
constexpr int kUnexpected = 9012;

// A column without a usable preferred width.
constexpr const char* kDefaultWidth = "10C";
constexpr int kDefaultPixels = 100;

constexpr DWORD kSortFlags = HDF_SORTUP | HDF_SORTDOWN;

bool bad(const lvw* l) {
  if (l) return false;
  ERR_LOG(ERR_ERR, kParam, "`lvw' is NUL.");
  return true;
}

bool has_list(const lvw* l) {
  if (l->wnd) return true;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, wnd: %p.", (const void*)l, (void*)l->wnd);
  return false;
}

// Header notifications of the layer's own changes are not the user's.
class Building {
 public:
  explicit Building(lvw* l) : l_(l) { ++l_->building; }
  ~Building() { --l_->building; }
  Building(const Building&) = delete;
  Building& operator=(const Building&) = delete;

 private:
  lvw* l_;
};

int column_width(const lvw* l, const listcol_col& col) {
  if (col.w >= 0) return col.w;
  int px = 0;
  if (col.wpref[0] && wndf_x(l->wnd, col.wpref, &px) == 0) return px;
  if (wndf_x(l->wnd, kDefaultWidth, &px) == 0) return px;
  return kDefaultPixels;
}

int column_fmt(int align) {
  switch (align) {
    case LISTCOL_CENTER: return LVCFMT_CENTER;
    case LISTCOL_RIGHT: return LVCFMT_RIGHT;
    default: return LVCFMT_LEFT;
  }
}

void reset_maps(lvw* l) {
  l->nshown = 0;
  for (int i = 0; i < LISTCOL_MAX; ++i) {
    l->map[i] = -1;
    l->rmap[i] = -1;
    l->setw[i] = 0;
  }
}

int delete_columns(lvw* l) {
  int n = l->hdr ? (int)SendMessageA(l->hdr, HDM_GETITEMCOUNT, 0, 0) : 0;
  for (int i = n - 1; i >= 0; --i) {
    if (!SendMessageA(l->wnd, LVM_DELETECOLUMN, (WPARAM)i, 0)) {
      ERR_LOG(ERR_ERR, kSys, "LVM_DELETECOLUMN failed - wnd: %p, col: %d.", (void*)l->wnd, i);
      return kSys;
    }
  }
  reset_maps(l);
  return 0;
}

int show_sort(lvw* l) {
  if (!l->hdr) return 0;
  Building b(l);
  for (unsigned k = 0; k < l->nshown; ++k) {
    HDITEMA it{};
    it.mask = HDI_FORMAT;
    if (!SendMessageA(l->hdr, HDM_GETITEMA, k, (LPARAM)&it)) {
      ERR_LOG(ERR_ERR, kSys, "HDM_GETITEM failed - hdr: %p, col: %u.", (void*)l->hdr, k);
      return kSys;
    }
    int fmt = it.fmt & ~(int)kSortFlags;
    if (l->sortcol >= 0 && l->map[k] == l->sortcol) fmt |= l->sortrev ? HDF_SORTDOWN : HDF_SORTUP;
    if (fmt == it.fmt) continue;
    it.fmt = fmt;
    if (!SendMessageA(l->hdr, HDM_SETITEMA, k, (LPARAM)&it)) {
      ERR_LOG(ERR_ERR, kSys, "HDM_SETITEM failed - hdr: %p, col: %u.", (void*)l->hdr, k);
      return kSys;
    }
  }
  return 0;
}

// The shown columns in the display order arr (list-view indices) take the slots
// of the shown columns in the set's order; hidden columns keep their places.
bool take_order(lvw* l, const int* arr) {
  unsigned order[LISTCOL_MAX];
  unsigned j = 0;
  for (unsigned i = 0; i < l->lc.ncols; ++i) {
    unsigned c = l->lc.order[i];
    if (c < LISTCOL_MAX && l->rmap[c] >= 0 && j < l->nshown) {
      int k = arr[j++];
      if (k < 0 || k >= (int)l->nshown) return false;
      order[i] = (unsigned)l->map[k];
    } else {
      order[i] = c;
    }
  }
  if (memcmp(order, l->lc.order, l->lc.ncols * sizeof order[0]) == 0) return false;
  memcpy(l->lc.order, order, l->lc.ncols * sizeof order[0]);
  return true;
}

int get_order(const lvw* l, int* arr) {
  if (l->nshown == 0) return 0;
  if (!SendMessageA(l->wnd, LVM_GETCOLUMNORDERARRAY, l->nshown, (LPARAM)arr)) {
    ERR_LOG(ERR_ERR, kSys, "LVM_GETCOLUMNORDERARRAY failed - wnd: %p, n: %u.", (void*)l->wnd, l->nshown);
    return kSys;
  }
  // every list-view column exactly once, or the array is not what we asked for
  bool seen[LISTCOL_MAX] = {};
  for (unsigned k = 0; k < l->nshown; ++k) {
    if (arr[k] < 0 || arr[k] >= (int)l->nshown || seen[arr[k]]) {
      ERR_LOG(ERR_ERR, kUnexpected, "Invalid column order [%d] - wnd: %p, pos: %u.", arr[k], (void*)l->wnd, k);
      return kUnexpected;
    }
    seen[arr[k]] = true;
  }
  return 0;
}

}  // namespace

int lvw_init(lvw* l) {
  if (bad(l)) return kParam;
  if (l->hub) ntf_del(l->hub, NTF_COLS, &l->lc, lvw_ntf_cols, l);
  memset(l, 0, sizeof *l);
  listcol_init(&l->lc);
  reset_maps(l);
  for (int& t : l->tags) t = -1;
  l->sortcol = -1;
  return 0;
}

int lvw_free(lvw* l) {
  if (bad(l)) return kParam;
  int e = 0;
  if (l->wnd && IsWindow(l->wnd) && l->db) e = lvw_take_layout(l);
  lvw_init(l);
  return e;
}

int lvw_create(lvw* l, HWND list, db* db, const char* name, const char* cls, const txr* tx, const char* txrctx) {
  if (!l || !list || !db || !name || !*name) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, list: %p, db: %p, name: `%s'.", (void*)l, (void*)list,
            (void*)db, mox_nul(name));
    return kParam;
  }
  lvw_init(l);
  l->wnd = list;
  l->db = db;
  l->tx = tx;
  int e = 0;
  if (txrctx) mox_strcpy(l->txrctx, sizeof l->txrctx, txrctx, &e);
  if (e) {
    ERR_LOG(ERR_ERR, e, "`txrctx' too long - size: %u, txrctx: `%.100s'.", (unsigned)sizeof l->txrctx, txrctx);
    lvw_init(l);
    return e;
  }
  if ((e = xrm_listcol_load(db, name, cls, 1, &l->lc)) != 0) {
    lvw_init(l);
    return e;
  }
  for (unsigned i = 0; i < l->lc.ncols; ++i) l->tags[i] = (int)i;

  LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  if ((style & LVS_TYPEMASK) != LVS_REPORT) SetWindowLongPtrA(list, GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
  const DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
  l->hdr = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
  if (!l->hdr) {
    ERR_LOG(ERR_ERR, kSys, "LVM_GETHEADER failed - wnd: %p.", (void*)list);
    lvw_init(l);
    return kSys;
  }
  return lvw_apply(l);
}

int lvw_set_tags(lvw* l, const char* const* ids, unsigned nids) {
  if (!l || (nids && !ids)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, ids: %p, nids: %u.", (void*)l, (const void*)ids, nids);
    return kParam;
  }
  for (unsigned i = 0; i < LISTCOL_MAX; ++i) {
    if (i >= l->lc.ncols) {
      l->tags[i] = -1;
      continue;
    }
    l->tags[i] = nids ? -1 : (int)i;
    for (unsigned k = 0; k < nids; ++k)
      if (ids[k] && strcmp(ids[k], l->lc.cols[i].id) == 0) l->tags[i] = (int)k;
  }
  return 0;
}

int lvw_set_cbs(lvw* l, lvw_disp_fn disp, lvw_draw_fn draw, void* usrdata) {
  if (bad(l)) return kParam;
  l->disp_fn = disp;
  l->draw_fn = draw;
  l->usrdata = usrdata;
  return 0;
}

int lvw_subscribe(lvw* l, ntf* hub) {
  if (!l || !hub) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, ntf: %p.", (void*)l, (void*)hub);
    return kParam;
  }
  if (l->hub) return 0;
  int e = ntf_add(hub, NTF_COLS, &l->lc, lvw_ntf_cols, l);
  if (e == 0) l->hub = hub;
  return e;
}

int lvw_ntf_cols(int id, void* data, void* usrdata) {
  lvw* l = static_cast<lvw*>(usrdata);
  if (!l || id != NTF_COLS) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - id: %d, data: %p, lvw: %p.", id, data, usrdata);
    return kParam;
  }
  if (data && data != &l->lc) return 0;  // another list's set
  int e = lvw_apply(l);
  if (e) return e;
  return lvw_save(l);
}

int lvw_apply(lvw* l) {
  if (bad(l) || !has_list(l)) return kParam;
  Building b(l);
  int e = delete_columns(l);
  if (e) return e;
  int first = -1;  // the first column that may be shown
  bool any = false;
  for (unsigned i = 0; i < l->lc.ncols; ++i) {
    unsigned c = l->lc.order[i];
    if (c >= l->lc.ncols) {
      ERR_LOG(ERR_ERR, kUnexpected, "Invalid listcol order [%u] - name: `%s', ncols: %u.", c, l->lc.name,
              l->lc.ncols);
      return kUnexpected;
    }
    if (l->lc.cols[c].excl) continue;
    if (first < 0) first = (int)c;
    any = any || l->lc.cols[c].visible;
  }
  // a list without columns shows no rows and no header to bring them back by
  if (!any && first >= 0) {
    ERR_LOG(ERR_WARN, kUnexpected, "No visible column - [%s] shown - name: `%s'.", l->lc.cols[first].id, l->lc.name);
    l->lc.cols[first].visible = 1;
  }
  for (unsigned i = 0; i < l->lc.ncols; ++i) {
    unsigned c = l->lc.order[i];
    const listcol_col& col = l->lc.cols[c];
    if (col.excl || !col.visible) continue;
    char title[LISTCOL_NAME_SIZE];
    mox_strcpy(title, sizeof title, l->tx ? txr_get(l->tx, l->txrctx, col.name) : col.name);
    LVCOLUMNA lc{};
    lc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lc.fmt = column_fmt(col.align);
    lc.cx = column_width(l, col);
    lc.pszText = title;
    lc.iSubItem = (int)l->nshown;
    int k = (int)SendMessageA(l->wnd, LVM_INSERTCOLUMNA, l->nshown, (LPARAM)&lc);
    if (k != (int)l->nshown) {
      ERR_LOG(ERR_ERR, kSys, "LVM_INSERTCOLUMN failed - wnd: %p, col: `%s', idx: %d.", (void*)l->wnd, col.id, k);
      return kSys;
    }
    l->map[k] = (int)c;
    l->rmap[c] = k;
    l->setw[k] = lc.cx;
    ++l->nshown;
  }
  if ((e = show_sort(l)) != 0) return e;
  InvalidateRect(l->wnd, nullptr, TRUE);
  return 0;
}

int lvw_save(lvw* l) {
  if (bad(l)) return kParam;
  if (!l->db || !l->lc.name[0]) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, db: %p, name: `%s'.", (void*)l, (void*)l->db, l->lc.name);
    return kParam;
  }
  char spec[LISTCOL_NAME_SIZE + 1];
  int e = mox_snprintf(spec, sizeof spec, "*%s", l->lc.name);
  if (e) {
    ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", (unsigned)sizeof spec);
    return e;
  }
  return xrm_listcol_save(l->db, spec, &l->lc);
}

int lvw_notify(lvw* l, const NMHDR* nm, LRESULT* result) {
  if (!l || !nm || !result) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, nm: %p, result: %p.", (void*)l, (const void*)nm,
            (void*)result);
    return 0;
  }
  if (!l->wnd) return 0;
  if (nm->hwndFrom == l->wnd) {
    switch (nm->code) {
      case LVN_GETDISPINFOA: {
        auto* di = (NMLVDISPINFOA*)nm;
        if (l->disp_fn) l->disp_fn(l, di, lvw_tag(l, di->item.iSubItem), l->usrdata);
        *result = 0;
        return 1;
      }
      case NM_CUSTOMDRAW: {
        if (!l->draw_fn) return 0;
        auto* cd = (NMLVCUSTOMDRAW*)nm;
        int tag = (cd->nmcd.dwDrawStage & CDDS_SUBITEM) ? lvw_tag(l, cd->iSubItem) : -1;
        *result = l->draw_fn(l, cd, tag, l->usrdata);
        return 1;
      }
      default:
        return 0;
    }
  }
  if (!l->hdr || nm->hwndFrom != l->hdr) return 0;
  auto* hn = (const NMHEADERA*)nm;
  switch (nm->code) {
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
      if (hn->pitem && (hn->pitem->mask & HDI_WIDTH)) lvw_take_width(l, hn->iItem, hn->pitem->cxy);
      return 0;
    case HDN_ENDDRAG:
      if (hn->pitem && (hn->pitem->mask & HDI_ORDER)) lvw_take_drag(l, hn->iItem, hn->pitem->iOrder);
      *result = FALSE;  // let the header move the column
      return 1;
    default:
      return 0;
  }
}

int lvw_take_width(lvw* l, int lvcol, int width) {
  if (!l || lvcol < 0 || lvcol >= (int)l->nshown || width < 0) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, lvcol: %d, width: %d.", (void*)l, lvcol, width);
    return kParam;
  }
  if (l->building) return 0;
  listcol_col& col = l->lc.cols[l->map[lvcol]];
  l->setw[lvcol] = width;
  if (col.w == width) return 0;
  col.w = width;
  return lvw_save(l);
}

int lvw_take_drag(lvw* l, int lvcol, int pos) {
  if (!l || lvcol < 0 || lvcol >= (int)l->nshown) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, lvcol: %d, pos: %d.", (void*)l, lvcol, pos);
    return kParam;
  }
  if (pos < 0 || l->building) return 0;
  if (pos >= (int)l->nshown) pos = (int)l->nshown - 1;
  int arr[LISTCOL_MAX];
  int e = get_order(l, arr);
  if (e) return e;
  // the header has not moved the column yet: move it in the copy
  int from = 0;
  while (arr[from] != lvcol) ++from;
  int moved = arr[from];
  if (from < pos)
    memmove(arr + from, arr + from + 1, (size_t)(pos - from) * sizeof arr[0]);
  else
    memmove(arr + pos + 1, arr + pos, (size_t)(from - pos) * sizeof arr[0]);
  arr[pos] = moved;
  if (!take_order(l, arr)) return 0;
  return lvw_save(l);
}

int lvw_take_layout(lvw* l) {
  if (bad(l) || !has_list(l)) return kParam;
  bool changed = false;
  for (unsigned k = 0; k < l->nshown; ++k) {
    int w = (int)SendMessageA(l->wnd, LVM_GETCOLUMNWIDTH, k, 0);
    if (w == l->setw[k]) continue;
    listcol_col& col = l->lc.cols[l->map[k]];
    l->setw[k] = w;
    if (col.w != w) {
      col.w = w;
      changed = true;
    }
  }
  int arr[LISTCOL_MAX];
  int e = get_order(l, arr);
  if (e) return e;
  if (l->nshown && take_order(l, arr)) changed = true;
  return changed ? lvw_save(l) : 0;
}

int lvw_set_sort(lvw* l, int col, int rev) {
  if (!l || col < -1 || col >= (int)l->lc.ncols) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvw: %p, col: %d.", (void*)l, col);
    return kParam;
  }
  l->sortcol = col;
  l->sortrev = rev ? 1 : 0;
  return l->wnd ? show_sort(l) : 0;
}

int lvw_set_sort_id(lvw* l, const char* id, int rev) {
  if (bad(l)) return kParam;
  return lvw_set_sort(l, id ? listcol_find(&l->lc, id) : -1, rev);
}

int lvw_find(const lvw* l, const char* id) { return l ? listcol_find(&l->lc, id) : -1; }

int lvw_col(const lvw* l, int lvcol) {
  if (!l || lvcol < 0 || lvcol >= (int)l->nshown) return -1;
  return l->map[lvcol];
}

int lvw_lvcol(const lvw* l, int col) {
  if (!l || col < 0 || col >= (int)l->lc.ncols) return -1;
  return l->rmap[col];
}

int lvw_tag(const lvw* l, int lvcol) {
  int c = lvw_col(l, lvcol);
  return c < 0 ? -1 : l->tags[c];
}

const char* lvw_colid(const lvw* l, int lvcol) {
  int c = lvw_col(l, lvcol);
  return c < 0 ? nullptr : l->lc.cols[c].id;
}

int lvw_sortrev_dflt(const lvw* l, const char* id) {
  int c = l ? listcol_find(&l->lc, id) : -1;
  return c < 0 ? 0 : l->lc.cols[c].sortrev_dflt;
}

int lvw_on_header(const lvw* l, POINT screen) {
  if (!l || !l->hdr || !IsWindowVisible(l->hdr)) return 0;
  RECT r;
  return GetWindowRect(l->hdr, &r) && PtInRect(&r, screen) ? 1 : 0;
}

int lvw_set_count(lvw* l, unsigned n, DWORD flags) {
  if (bad(l) || !has_list(l)) return kParam;
  if (!SendMessageA(l->wnd, LVM_SETITEMCOUNT, n, flags)) {
    ERR_LOG(ERR_ERR, kSys, "LVM_SETITEMCOUNT failed - wnd: %p, n: %u.", (void*)l->wnd, n);
    return kSys;
  }
  return 0;
}

int lvw_insert(lvw* l, int row, LPARAM param) {
  if (bad(l) || !has_list(l)) return kParam;
  LVITEMA it{};
  it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  it.iItem = row < 0 ? (int)SendMessageA(l->wnd, LVM_GETITEMCOUNT, 0, 0) : row;
  it.pszText = LPSTR_TEXTCALLBACKA;
  it.iImage = I_IMAGECALLBACK;
  it.lParam = param;
  if (SendMessageA(l->wnd, LVM_INSERTITEMA, 0, (LPARAM)&it) < 0) {
    ERR_LOG(ERR_ERR, kSys, "LVM_INSERTITEM failed - wnd: %p, row: %d.", (void*)l->wnd, row);
    return kSys;
  }
  return 0;
}

LPARAM lvw_param(const lvw* l, int row) {
  if (!l || !l->wnd) return 0;
  LVITEMA it{};
  it.mask = LVIF_PARAM;
  it.iItem = row;
  return SendMessageA(l->wnd, LVM_GETITEMA, 0, (LPARAM)&it) ? it.lParam : 0;
}
