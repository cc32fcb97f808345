#include <windows.h>

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "ui/menu.h"

namespace {

constexpr int kSys = 9001;
constexpr int kMissing = 9002;
constexpr int kParam = 9003;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;
constexpr int kUnexpected = 9012;

inline int last_error() {
  DWORD e = GetLastError();
  return e ? (int)e : kSys;
}

int build_items(menu* m, menu_item* parent, HMENU wm);

int insert_item(menu* m, menu_item* it, HMENU wm, int ipos) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  char text[MENU_TEXT_SIZE];
  HMENU sub = nullptr;
  if (it->kind == MENU_SEP) {
    mii.fMask = MIIM_FTYPE;
    mii.fType = MFT_SEPARATOR;
  } else {
    if (!it->nchildren && !it->iid) {
      ERR_LOG(ERR_ERR, kMissing, "No menu item iid - menu[%p]: `%s', id: `%s'.", (void*)m, m->name, it->id);
      return kMissing;
    }
    if (int e = menu_text_cvt(text, sizeof text, it->text ? it->text : it->id); e && e != 9005) return e;
    mii.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_ID;
    mii.fType = MFT_STRING | (it->grp >= 0 ? MFT_RADIOCHECK : 0);
    mii.fState = it->enabled ? MFS_ENABLED : MFS_GRAYED;
    mii.wID = (UINT)it->iid;
    mii.dwTypeData = text;
    if (it->nchildren) {
      sub = CreatePopupMenu();
      if (!sub) {
        int e = last_error();
        ERR_LOG(ERR_ERR, e, "CreatePopupMenu() failed - menu[%p]: `%s'.", (void*)m, m->name);
        return e;
      }
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = sub;
    }
  }
  if (!InsertMenuItemA(wm, (UINT)ipos, TRUE, &mii)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "InsertMenuItem() failed - wmenu: %p, ipos: %d, menu[%p]: `%s', id: `%s', iid: %d.",
            (void*)wm, ipos, (void*)m, m->name, it->id, it->iid);
    if (sub) DestroyMenu(sub);
    return e;
  }
  it->wmenu = wm;
  it->ipos = ipos;
  it->wsub = sub;
  return sub ? build_items(m, it, sub) : 0;
}

int build_items(menu* m, menu_item* parent, HMENU wm) {
  for (unsigned i = 0; i < parent->nchildren; ++i)
    if (int e = insert_item(m, parent->children[i], wm, (int)i)) return e;
  return 0;
}

void forget(menu_item* parent) {
  for (unsigned i = 0; i < parent->nchildren; ++i) {
    menu_item* it = parent->children[i];
    it->wmenu = it->wsub = nullptr;
    it->ipos = -1;
    forget(it);
  }
}

int build(menu* m, bool popup) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    return kParam;
  }
  if (m->wmenu) {
    ERR_LOG(ERR_ERR, kExists, "Menu already exist - menu[%p]: `%s'.", (void*)m, m->name);
    return kExists;
  }
  if (!m->top.nchildren) {
    ERR_LOG(ERR_ERR, kMissing, "No menu items - menu[%p]: `%s'.", (void*)m, m->name);
    return kMissing;
  }
  HMENU wm = popup ? CreatePopupMenu() : CreateMenu();
  if (!wm) {
    int e = last_error();
    if (popup)
      ERR_LOG(ERR_ERR, e, "CreatePopupMenu() failed - menu[%p]: `%s'.", (void*)m, m->name);
    else
      ERR_LOG(ERR_ERR, e, "CreateMenu() failed - menu[%p]: `%s'.", (void*)m, m->name);
    return e;
  }
  m->wmenu = wm;
  m->popup = popup;
  int e = build_items(m, &m->top, wm);
  if (e) menu_destroy(m);  // DestroyMenu takes the submenus with it
  return e;
}

int get_state(menu_item* it, UINT* state) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_STATE;
  if (!GetMenuItemInfoA(static_cast<HMENU>(it->wmenu), (UINT)it->ipos, TRUE, &mii)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "GetMenuItemInfo() failed - id: `%s', wmenu: %p, pos: %d.", it->id, it->wmenu, it->ipos);
    return e;
  }
  *state = mii.fState;
  return 0;
}

// Writes the state bit only when it changes.
int set_state_bit(menu_item* it, UINT bit, UINT set) {
  UINT st = 0;
  if (int e = get_state(it, &st)) return e;
  UINT nst = (st & ~bit) | set;
  if (nst == st) return 0;
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_STATE;
  mii.fState = nst;
  if (!SetMenuItemInfoA(static_cast<HMENU>(it->wmenu), (UINT)it->ipos, TRUE, &mii)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "SetMenuItemInfo() failed - id: `%s', wmenu: %p, pos: %d.", it->id, it->wmenu, it->ipos);
    return e;
  }
  return 0;
}

int set_check(menu*, menu_item* it, int on) { return set_state_bit(it, MFS_CHECKED, on ? MFS_CHECKED : 0); }

menu_item* built_item(menu* m, const char* id, int* e) {
  if (!m || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, id: `%s'.", (void*)m, mox_nul(id));
    *e = kParam;
    return nullptr;
  }
  menu_item* it = menu_find(m, id);
  if (!it) {
    ERR_LOG(ERR_ERR, kNotFound, "Menu item [%s] not found - menu[%p]: `%s'.", id, (void*)m, m->name);
    *e = kNotFound;
    return nullptr;
  }
  if (!it->wmenu) {
    ERR_LOG(ERR_ERR, kUnexpected, "Menu item [%s] not built - menu[%p]: `%s'.", id, (void*)m, m->name);
    *e = kUnexpected;
    return nullptr;
  }
  *e = 0;
  return it;
}

int attach_items(menu* m, menu_item* parent, HMENU wm) {
  int count = GetMenuItemCount(wm);
  for (unsigned i = 0; i < parent->nchildren; ++i) {
    menu_item* it = parent->children[i];
    int ipos = (int)i;
    bool ok = ipos < count;
    HMENU sub = nullptr;
    if (ok && it->kind == MENU_SEP) {
      ok = (GetMenuState(wm, (UINT)ipos, MF_BYPOSITION) & MF_SEPARATOR) != 0;
    } else if (ok && it->nchildren) {
      sub = GetSubMenu(wm, ipos);
      ok = sub != nullptr;
    } else if (ok) {
      ok = GetMenuItemID(wm, ipos) == (UINT)it->iid;
    }
    if (!ok) {
      ERR_LOG(ERR_ERR, kUnexpected, "Invalid menu [%s] configuration - id: `%s', iid: %d, ipos: %d, item_count: %d.",
              m->name, it->id, it->iid, ipos, count);
      return kUnexpected;
    }
    it->wmenu = wm;
    it->ipos = ipos;
    it->wsub = sub;
    if (sub)
      if (int e = attach_items(m, it, sub)) return e;
  }
  return 0;
}

}  // namespace

int menu_build_bar(menu* m) { return build(m, false); }
int menu_build_popup(menu* m) { return build(m, true); }

int menu_destroy(menu* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    return kParam;
  }
  if (!m->wmenu) return 0;
  int e = 0;
  if (!DestroyMenu(static_cast<HMENU>(m->wmenu))) {
    e = last_error();
    ERR_LOG(ERR_ERR, e, "DestroyMenu() [%p] failed - menu[%p]: `%s'.", m->wmenu, (void*)m, m->name);
  }
  m->wmenu = nullptr;
  forget(&m->top);
  return e;
}

int menu_attach(menu* m, void* wmenu) {
  if (!m || !wmenu) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, wmenu: %p.", (void*)m, wmenu);
    return kParam;
  }
  if (m->wmenu) {
    ERR_LOG(ERR_ERR, kExists, "Menu already exist - menu[%p]: `%s'.", (void*)m, m->name);
    return kExists;
  }
  int e = attach_items(m, &m->top, static_cast<HMENU>(wmenu));
  if (e) {
    forget(&m->top);
    return e;
  }
  m->wmenu = wmenu;
  return 0;
}

int menu_track(menu* m, void* owner, int x, int y, unsigned flags) {
  if (!m || !m->wmenu || !m->popup) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, wmenu: %p.", (void*)m, m ? m->wmenu : nullptr);
    return 0;
  }
  return (int)TrackPopupMenu(static_cast<HMENU>(m->wmenu), flags | TPM_RETURNCMD, x, y, 0, static_cast<HWND>(owner),
                             nullptr);
}

int menu_check(menu* m, const char* id, int on) {
  int e = 0;
  menu_item* it = built_item(m, id, &e);
  if (!it) return e;
  menu_setcheck_cb setcheck = m->setcheck ? m->setcheck : set_check;
  if (on && it->grp >= 0) {  // at most one mark in a group
    const menu_radiogrp& g = m->grps[it->grp];
    for (unsigned i = 0; i < g.nitems; ++i)
      if (g.items[i] != it && g.items[i]->wmenu)
        if ((e = setcheck(m, g.items[i], 0))) return e;
  }
  return setcheck(m, it, on);
}

int menu_enable(menu* m, const char* id, int on) {
  int e = 0;
  menu_item* it = built_item(m, id, &e);
  if (!it) return e;
  e = set_state_bit(it, MFS_GRAYED | MFS_DISABLED, on ? 0 : MFS_GRAYED);
  if (!e) it->enabled = on != 0;
  return e;
}
