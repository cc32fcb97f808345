// Files dropped on the Path combo box, through the drop message with a drop handle built
// in-process as the shell builds it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fm/win32/fpathcbx.h"

namespace {

std::vector<std::pair<int, int>> g_cmds;  // (id, code) of the commands the parent got

LRESULT CALLBACK parent_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) g_cmds.emplace_back(LOWORD(wp), HIWORD(wp));
  return DefWindowProcA(w, msg, wp, lp);
}

// A drop handle as the shell makes one: DROPFILES, then the names, each ended, and an end.
HDROP make_drop(const std::vector<std::string>& files) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& f : files) size += f.size() + 1;
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* df = static_cast<DROPFILES*>(GlobalLock(g));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = FALSE;
  char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
  for (const std::string& f : files) {
    memcpy(p, f.c_str(), f.size() + 1);
    p += f.size() + 1;
  }
  GlobalUnlock(g);
  return static_cast<HDROP>(g);
}

struct Drop : testing::Test {
  HWND parent = nullptr, cbx = nullptr;
  pathl pl{};
  fpathcbx c{};
  std::string root;
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = parent_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "fpathdropParent";
    RegisterClassA(&wc);
    parent = CreateWindowA("fpathdropParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                           wc.hInstance, nullptr);
    cbx = CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 300, 200, parent,
                        (HMENU)(INT_PTR)1031, wc.hInstance, nullptr);
    ASSERT_NE(cbx, nullptr);
    ASSERT_EQ(fpathlist_init(&pl), 0);
    ASSERT_EQ(fpathcbx_init(&c, cbx, &pl, FPATHCBX_HIST, 1), 0);
    ASSERT_EQ(fpathcbx_accept_drops(&c), 0);
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "fpdrop" + std::to_string(GetCurrentProcessId());
    for (const char* d : {"", "\\src", "\\my docs"}) CreateDirectoryA((root + d).c_str(), nullptr);
    for (const char* f : {"\\src\\a.c", "\\src\\b.c", "\\my docs\\n.txt"})
      CloseHandle(CreateFileA((root + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    g_cmds.clear();
  }
  void TearDown() override {
    for (const char* f : {"\\src\\a.c", "\\src\\b.c", "\\my docs\\n.txt"}) DeleteFileA((root + f).c_str());
    for (const char* d : {"\\src", "\\my docs", ""}) RemoveDirectoryA((root + d).c_str());
    DestroyWindow(parent);
    fpathlist_free(&pl);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  void drop(const std::vector<std::string>& files, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(cbx, WM_DROPFILES, (WPARAM)make_drop(files), 0);  // the box finishes the drop
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
  }
  std::string text() {
    char b[1024] = "";
    GetWindowTextA(cbx, b, sizeof b);
    return b;
  }
};

TEST_F(Drop, TwoFilesOfOneDirectoryAddItOnce) {
  SetWindowTextA(cbx, "C:\\before");
  drop({root + "\\src\\a.c", root + "\\src\\b.c"}, false);
  EXPECT_EQ(text(), root + "\\src");
  ASSERT_EQ(g_cmds.size(), 1u);  // the parent takes the new text over
  EXPECT_EQ(g_cmds[0], std::make_pair(1031, (int)CBN_EDITCHANGE));
  DWORD from = 0, to = 0;
  SendMessageA(cbx, CB_GETEDITSEL, (WPARAM)&from, (LPARAM)&to);
  EXPECT_EQ(from, (DWORD)text().size());  // caret at the end
}

TEST_F(Drop, CtrlAppendsDirectoriesAndQuotes) {
  SetWindowTextA(cbx, "C:\\before");
  // a directory stays itself; a name with a blank is quoted; the one already there by case
  drop({root + "\\my docs\\n.txt", root + "\\SRC"}, true);
  drop({root + "\\src\\a.c"}, true);
  EXPECT_EQ(text(), "C:\\before \"" + root + "\\my docs\" " + root + "\\SRC");
  drop({root + "\\src\\b.c"}, false);  // without Ctrl the field is replaced
  EXPECT_EQ(text(), root + "\\src");
}

}  // namespace
