// Test support: a window menu written out as text, read item by item with GetMenuItemInfo.
// An entry is its text, "=" and its command, "*" when checked, "~" when grayed, "(o)" in
// front when it takes a radio mark; a separator is "|"; a submenu ">[...]".
#pragma once

#include <windows.h>

#include <string>

inline std::string dump(HMENU m) {
  std::string s;
  int n = GetMenuItemCount(m);
  for (int i = 0; i < n; ++i) {
    char text[256] = "";
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    if (!GetMenuItemInfoA(m, (UINT)i, TRUE, &mii)) return s + "?error";
    if (i) s += ' ';
    if (mii.fType & MFT_SEPARATOR) {
      s += '|';
      continue;
    }
    if (mii.fType & MFT_RADIOCHECK) s += "(o)";
    s += text;
    if (mii.hSubMenu)
      s += ">[" + dump(mii.hSubMenu) + "]";
    else
      s += "=" + std::to_string(mii.wID);
    if (mii.fState & MFS_CHECKED) s += '*';
    if (mii.fState & MFS_GRAYED) s += '~';
  }
  return s;
}
