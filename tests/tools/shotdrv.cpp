// Drives a running quarnw.exe from outside its process, one step per run, for the
// screenshot script: only what crosses processes (titles, WM_SETTEXT, BM_CLICK,
// WM_COMMAND, key messages, window rectangles).
// Usage:
//   shotdrv wait                      the main window is shown
//   shotdrv find PATH [NAME [MD [SIZE]]]   fields typed, Find pressed, its end awaited
//   shotdrv cmd ID                    menu command posted; a new window awaited
//   shotdrv post ID                   menu command posted; a sort it starts awaited
//   shotdrv count                     how many dialogs the program shows
//   shotdrv key VK                    a key pressed in the result list
//   shotdrv rect [dialog]             "WxH+X+Y" around the program's visible windows (or
//                                     its dialogs alone)
//   shotdrv close                     the program's dialogs closed
//   shotdrv quit                      the main window closed
// Prints the main window's title after find; exit 0 done, 2 not found or timed out,
// 1 bad usage.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPath = 1031, kName = 1039, kMd = 1040, kSize = 1042, kFind = 1004, kList = 1005;

HWND g_main;
DWORD g_pid;

std::string text(HWND w) {
  char buf[2048] = "";
  SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, nullptr);
  return buf;
}

bool find_main(DWORD ms) {
  for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < ms; Sleep(100)) {
    g_main = FindWindowA("quarnw", nullptr);
    if (g_main && IsWindowVisible(g_main)) {
      GetWindowThreadProcessId(g_main, &g_pid);
      return true;
    }
  }
  return false;
}

struct ChildQuery {
  int id;
  const char* cls;
  HWND found;
};

BOOL CALLBACK child_cb(HWND w, LPARAM lp) {
  auto* q = reinterpret_cast<ChildQuery*>(lp);
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (GetDlgCtrlID(w) == q->id && !_stricmp(cls, q->cls)) {
    q->found = w;
    return FALSE;
  }
  return TRUE;
}

// A control anywhere below the main window (ids repeat across the dialogs: the class decides).
HWND control(int id, const char* cls) {
  ChildQuery q{id, cls, nullptr};
  EnumChildWindows(g_main, child_cb, (LPARAM)&q);
  return q.found;
}

BOOL CALLBACK top_cb(HWND w, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == g_pid && w != g_main && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}

std::vector<HWND> dialogs() {
  std::vector<HWND> v;
  EnumWindows(top_cb, (LPARAM)&v);
  return v;
}

void set_field(int id, const char* cls, const char* value) {
  HWND w = control(id, cls);
  if (!w) return;
  SendMessageA(w, WM_SETTEXT, 0, (LPARAM)value);
  // a combo box tells its parent only about typing
  if (!_stricmp(cls, "ComboBox")) SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), (LPARAM)w);
}

bool busy() {
  HWND b = control(kFind, "Button");
  const std::string t = text(g_main);
  return (b && text(b) == "Stop") || t.rfind("Find:", 0) == 0 || t.rfind("Sort:", 0) == 0;
}

int find(int argc, char** argv) {
  set_field(kPath, "ComboBox", argv[2]);
  const char* rest[] = {argc > 3 ? argv[3] : "", argc > 4 ? argv[4] : "", argc > 5 ? argv[5] : ""};
  const int ids[] = {kName, kMd, kSize};
  for (int i = 0; i < 3; ++i) {
    if (HWND e = control(ids[i], "Edit")) SendMessageA(e, WM_SETTEXT, 0, (LPARAM)rest[i]);
    else set_field(ids[i], "ComboBox", rest[i]);
  }
  HWND b = control(kFind, "Button");
  if (!b) return 2;
  PostMessageA(b, BM_CLICK, 0, 0);
  Sleep(300);
  for (DWORD t0 = GetTickCount(); busy(); Sleep(50))
    if (GetTickCount() - t0 > 300000) return 2;
  Sleep(300);  // the last count and the title follow the machine's stop
  printf("%s\n", text(g_main).c_str());
  return 0;
}

int cmd(int id) {
  const size_t before = dialogs().size();
  PostMessageA(g_main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000; Sleep(100))
    if (dialogs().size() > before) {
      Sleep(700);  // painted
      return 0;
    }
  return 2;
}

int rect(bool dialogs_only) {
  RECT u{};
  if (!dialogs_only) GetWindowRect(g_main, &u);
  for (HWND d : dialogs()) {
    RECT r;
    GetWindowRect(d, &r);
    if (IsRectEmpty(&u))
      u = r;
    else
      UnionRect(&u, &u, &r);
  }
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  u.left = u.left < 0 ? 0 : u.left;
  u.top = u.top < 0 ? 0 : u.top;
  u.right = u.right > sw ? sw : u.right;
  u.bottom = u.bottom > sh ? sh : u.bottom;
  printf("%ldx%ld+%ld+%ld\n", u.right - u.left, u.bottom - u.top, u.left, u.top);
  return 0;
}

int close_dialogs() {
  for (HWND d : dialogs()) PostMessageA(d, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && !dialogs().empty(); ++i) Sleep(100);
  return dialogs().empty() ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: shotdrv wait|find|cmd|key|rect|close|quit ...\n");
    return 1;
  }
  const std::string op = argv[1];
  if (!find_main(op == "wait" ? 120000 : 5000)) return 2;
  if (op == "wait") {
    Sleep(1000);
    return 0;
  }
  if (op == "find" && argc > 2) return find(argc, argv);
  if (op == "cmd" && argc > 2) return cmd(atoi(argv[2]));
  if (op == "post" && argc > 2) {
    PostMessageA(g_main, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), 0), 0);
    Sleep(300);
    for (DWORD t0 = GetTickCount(); busy(); Sleep(50))
      if (GetTickCount() - t0 > 300000) return 2;
    Sleep(500);
    return 0;
  }
  if (op == "count") {
    printf("%u\n", (unsigned)dialogs().size());
    return 0;
  }
  if (op == "key" && argc > 2) {
    HWND lv = control(kList, WC_LISTVIEWA);
    if (!lv) return 2;
    SetForegroundWindow(g_main);
    SendMessageA(lv, WM_KEYDOWN, (WPARAM)atoi(argv[2]), 0);
    SendMessageA(lv, WM_KEYUP, (WPARAM)atoi(argv[2]), 0);
    Sleep(300);
    return 0;
  }
  if (op == "rect") return rect(argc > 2 && !std::strcmp(argv[2], "dialog"));
  if (op == "close") return close_dialogs();
  if (op == "quit") {
    PostMessageA(g_main, WM_CLOSE, 0, 0);
    for (int i = 0; i < 200 && IsWindow(g_main); ++i) Sleep(50);
    return IsWindow(g_main) ? 2 : 0;
  }
  fprintf(stderr, "shotdrv: unknown step `%s'\n", op.c_str());
  return 1;
}
