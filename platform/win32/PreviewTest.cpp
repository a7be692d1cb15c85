// Checks the preview under Wine, where a child in another process's window shows
// nothing: a host window of this process takes the saver's preview window as its
// child, the test looks at what the preview drew, then destroys the host and requires
// that the preview ends with it.
//
//   quill_preview_test [milliseconds to run before looking, default 2000] [huge]
// The preview is looked at every 100 ms (a scene may leave it black for a moment
// between steps). Exit code 0 when it drew something and ended with its host. With
// "huge" the host is a box far larger than the screen, and the preview must be no
// larger than the screen.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "HostWin32.h"
#include "RegistryWin32.h"
#include "SaverWindow.h"

namespace {

constexpr UINT kLookEveryMs = 100;

HWND g_saver = nullptr;
UINT g_looksLeft = 0;
long g_litPixels = 0;  // the most seen in one look
long g_totalPixels = 0;
bool g_saverAliveAtLook = true;

// Counts pixels that are not black in the saver window's client area.
void LookAtPreview() {
  g_saverAliveAtLook = g_saverAliveAtLook && IsWindow(g_saver) && IsWindowVisible(g_saver);
  RECT client{};
  GetClientRect(g_saver, &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = GetDC(g_saver);
  HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) {  // a preview too large to copy: counted as nothing drawn
    ReleaseDC(g_saver, windowDc);
    return;
  }
  HDC memDc = CreateCompatibleDC(windowDc);
  HGDIOBJ old = SelectObject(memDc, dib);
  BitBlt(memDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  g_totalPixels = static_cast<long>(width) * height;
  long lit = 0;
  for (long i = 0; i < g_totalPixels; ++i)
    if ((pixels[i] & 0x00FFFFFF) != 0) ++lit;
  if (lit > g_litPixels) g_litPixels = lit;
  SelectObject(memDc, old);
  DeleteDC(memDc);
  DeleteObject(dib);
  ReleaseDC(g_saver, windowDc);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    LookAtPreview();
    if (--g_looksLeft == 0) {
      KillTimer(hwnd, 1);
      DestroyWindow(hwnd);  // takes the saver's window with it
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  const UINT lookAfterMs = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 2000;
  const bool huge = argc > 2 && std::strcmp(argv[2], "huge") == 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  qm::win32::RegistryWin32 registry;
  qm::win32::HostWin32 services;
  qm::SetRegistry(&registry);
  qm::SetHost(&services);

  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = "QuillmarkPreviewTestHost";
  RegisterClassA(&wc);
  // The size of the Display control panel's preview box.
  HWND host = CreateWindowExA(0, wc.lpszClassName, "preview host", WS_OVERLAPPED | WS_VISIBLE, 40,
                              40, 152, 112, nullptr, nullptr, instance, nullptr);
  if (!host) {
    std::printf("FAIL could not create the host window\n");
    return 1;
  }
  // Child windows may be of any size, unlike top-level ones.
  HWND box = huge ? CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 20000, 20000,
                                    host, nullptr, instance, nullptr)
                  : host;
  if (!box) {
    std::printf("FAIL could not create the huge box\n");
    return 1;
  }
  g_looksLeft = lookAfterMs / kLookEveryMs > 0 ? lookAfterMs / kLookEveryMs : 1;
  SetTimer(host, 1, kLookEveryMs, nullptr);
  const DWORD start = GetTickCount();
  qm::win32::RunPreview(instance, services, box, &g_saver);
  const DWORD elapsed = GetTickCount() - start;

  int failures = 0;
  auto check = [&](bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
  };
  check(g_saver != nullptr, "the preview created its window");
  check(g_saverAliveAtLook, "the preview window was showing inside the host");
  if (huge) {
    std::printf("     the preview was %ld pixels, the screen %d x %d\n", g_totalPixels,
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    check(g_totalPixels > 0 &&
              g_totalPixels <= static_cast<long>(GetSystemMetrics(SM_CXVIRTUALSCREEN)) *
                                   GetSystemMetrics(SM_CYVIRTUALSCREEN),
          "a host larger than the screen gets a preview no larger than the screen");
  }
  std::printf("     at most %ld of %ld preview pixels not black\n", g_litPixels, g_totalPixels);
  // A huge host shows only its corner, where the scene (drawn from the middle) may not be.
  if (!huge) check(g_litPixels > 0, "the preview drew something");
  check(!IsWindow(host) && !IsWindow(g_saver), "the preview window is gone with its host");
  check(elapsed < lookAfterMs + 3000, "the preview ended promptly after its host was destroyed");
  qm::SetHost(nullptr);
  qm::SetRegistry(nullptr);
  return failures == 0 ? 0 : 1;
}
