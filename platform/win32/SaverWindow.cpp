#include "SaverWindow.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "HostWin32.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"

namespace qm::win32 {
namespace {

constexpr char kClassName[] = "QuillmarkSaverWindow";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT_PTR kParentWatch = 3;
// A scene may tick only every few seconds; the preview still notices a vanished
// parent within a fifth of a second.
constexpr UINT kParentWatchMs = 200;
// A button press that ended the saver leaves the window up, frozen, until every button
// is let go: the release then comes here rather than to the window beneath, which
// would get a release it never saw pressed (a right button's opens its context menu).
// The buttons are looked at this often, and the run ends after kReleaseWaitMs anyway.
constexpr UINT_PTR kReleaseWatch = 4;
constexpr UINT kReleaseWatchMs = 50;
constexpr DWORD kReleaseWaitMs = 3000;

// `queued`: as of the message being handled (a press and its release already queued
// behind it count as held, as the release is still to come to some window); otherwise
// as the buttons are now, for a release that was lost.
bool AnyButtonHeld(bool queued) {
  for (int key : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2}) {
    if ((queued ? GetKeyState(key) : GetAsyncKeyState(key)) < 0) return true;
  }
  return false;
}

// A host window larger than the screen (any window can be handed to /p) would have the
// surface take its size, gigabytes at the extreme, and each step take seconds: the
// preview is at most as large as the screen, in the host's top-left corner.
RECT AtMostScreen(RECT area) {
  area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  return area;
}

// The desktop window's rectangle, which the full-screen window covers, also kept as
// ScreenRect.
RECT MeasureDesktop() {
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  ScreenRect = RectL{desktop.left, desktop.top, desktop.right, desktop.bottom};
  return desktop;
}

class SaverWindow {
 public:
  SaverWindow(HostWin32& host, HWND parent) : host_(host), parent_(parent) {}
  ~SaverWindow() {
    if (memDc_) DeleteDC(memDc_);
    if (dib_) DeleteObject(dib_);
  }

  bool Create(HINSTANCE instance, const RECT& area) {
    if (!Register(instance)) return false;
    const int width = area.right;
    const int height = area.bottom;
    if (parent_) {
      // Created straight as a child: a popup turned child afterwards is an odd window
      // on every Windows since 95, and the result is the same window in the same place.
      hwnd_ = CreateWindowExA(0, kClassName, "Preview", WS_CHILD | WS_CLIPCHILDREN, 0, 0, width,
                              height, parent_, nullptr, instance, this);
    } else {
      hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, form_.Caption.c_str(),
                              WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height, nullptr, nullptr,
                              instance, this);
    }
    if (!hwnd_) return false;
    host_.SetOwnerWindow(hwnd_);
    // The form loads at its design size, as it always has; placing it sizes it.
    form_.Form_Load();
    Resize(width, height);
    if (AfterFormCall()) return false;
    if (parent_) {
      SetWindowPos(hwnd_, nullptr, 0, 0, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      SetTimer(hwnd_, kParentWatch, kParentWatchMs, nullptr);
    } else {
      SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW);
      SetForegroundWindow(hwnd_);
      SetFocus(hwnd_);
    }
    return true;
  }

  HWND Handle() const { return hwnd_; }

 private:
  static bool Register(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(instance, kClassName, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &SaverWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.hIcon = LoadIcon(instance, MAKEINTRESOURCE(1));
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0;
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<SaverWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->Handle(msg, wp, lp);
  }

  // The run-time's shift argument: 1 Shift, 2 Ctrl, 4 Alt.
  static int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  }
  static int Buttons(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? 1 : 0) | ((wp & MK_RBUTTON) ? 2 : 0) | ((wp & MK_MBUTTON) ? 4 : 0);
  }
  static float X(LPARAM lp) { return static_cast<float>(static_cast<short>(LOWORD(lp))); }
  static float Y(LPARAM lp) { return static_cast<float>(static_cast<short>(HIWORD(lp))); }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (!loaded_ && msg != WM_DESTROY && msg != WM_NCDESTROY)
      return DefWindowProcA(hwnd_, msg, wp, lp);
    if (releaseWaitSince_ && msg != WM_PAINT && msg != WM_ERASEBKGND && msg != WM_DESTROY &&
        msg != WM_NCDESTROY)
      return WhileReleaseAwaited(msg, wp, lp);
    switch (msg) {
      case WM_SIZE:
        Resize(LOWORD(lp), HIWORD(lp));
        AfterFormCall();
        return 0;
      case WM_DISPLAYCHANGE:
        // The screen changed size under the saver (a mode switched, another monitor
        // made the primary one): the window covers the desktop window's rectangle
        // again, the primary screen, so that no part of a grown one shows.
        if (!parent_) {
          const RECT desktop = MeasureDesktop();
          SetWindowPos(hwnd_, HWND_TOPMOST, desktop.left, desktop.top, desktop.right - desktop.left,
                       desktop.bottom - desktop.top, SWP_NOACTIVATE);
        }
        break;
      case WM_TIMER:
        if (parent_ && !IsWindow(parent_)) {
          DestroyWindow(hwnd_);
          return 0;
        }
        if (form_.Closing()) return 0;  // the password prompt is up: no tick interrupts
        if (wp == kTimer1) form_.Timer1_Timer();
        if (wp == kTimer2) form_.Timer2_Timer();
        AfterFormCall();
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        form_.form_KeyDown(static_cast<int>(wp), ShiftState());
        AfterFormCall();
        return 0;
      case WM_CHAR:
      case WM_SYSCHAR:
        form_.Form_KeyPress(static_cast<int>(wp));
        AfterFormCall();
        return 0;
      // Any button ends the saver, as on Linux, and so does the second press of a quick
      // pair, which the class's double clicks report apart.
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK: {
        const int button = msg == WM_LBUTTONDOWN                              ? 1
                           : msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK ? 2
                                                                              : 4;
        form_.form_MouseDown(button, ShiftState(), X(lp), Y(lp));
        AfterFormCall();
        return 0;
      }
      // A side button ends it when it is let go, as a click: ended at the press, the
      // saver would leave the release to the window beneath, whose default handling
      // turns it into "Back". Answering TRUE says the messages were handled.
      case WM_XBUTTONDOWN:
      case WM_XBUTTONDBLCLK:
        return TRUE;
      case WM_XBUTTONUP:
        form_.Form_Click();
        AfterFormCall();
        return TRUE;
      case WM_LBUTTONUP:
        form_.Form_Click();
        AfterFormCall();
        return 0;
      case WM_LBUTTONDBLCLK:
        form_.form_MouseDown(1, ShiftState(), X(lp), Y(lp));
        if (!form_.IsUnloaded()) form_.Form_DblClick();
        AfterFormCall();
        return 0;
      case WM_MOUSEMOVE:
        form_.Form_MouseMove(Buttons(wp), ShiftState(), X(lp), Y(lp));
        AfterFormCall();
        return 0;
      case WM_CLOSE:
        form_.Unload();
        AfterFormCall();
        return 0;
      case WM_QUERYENDSESSION:
        // Logging off or shutting down is one more request to close: with the password
        // on, the prompt decides, and a refusal keeps the session going.
        form_.Unload();
        return AfterFormCall() ? TRUE : FALSE;
      case WM_SYSCOMMAND:
        // Already the screen saver: the system's idle timer must not start another.
        if ((wp & 0xFFF0) == SC_SCREENSAVE) return 0;
        break;
      case WM_ERASEBKGND:
        return 1;  // the frame covers everything
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (memDc_) {
          BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, memDc_, ps.rcPaint.left, ps.rcPaint.top,
                 SRCCOPY);
        } else {
          FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_DESTROY:
        KillTimer(hwnd_, kTimer1);
        KillTimer(hwnd_, kTimer2);
        KillTimer(hwnd_, kParentWatch);
        KillTimer(hwnd_, kReleaseWatch);
        releaseWaitSince_ = 0;
        // The preview host destroys us without asking: the form still unloads.
        if (loaded_ && !form_.IsUnloaded()) form_.Unload();
        host_.SetOwnerWindow(nullptr);
        destroyed_ = true;
        PostQuitMessage(0);
        return 0;
      default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
  }

  // The form has unloaded; the window waits for the buttons' release. Input is
  // swallowed, and the form gets no more calls.
  LRESULT WhileReleaseAwaited(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_TIMER:
        if (wp != kReleaseWatch) return 0;
        [[fallthrough]];
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
      case WM_XBUTTONUP:
      case WM_CAPTURECHANGED:
      case WM_CLOSE:
        if (msg == WM_CAPTURECHANGED || msg == WM_CLOSE || !AnyButtonHeld(msg != WM_TIMER) ||
            GetTickCount() - releaseWaitSince_ >= kReleaseWaitMs) {
          // Done waiting before destroying, which sends WM_CAPTURECHANGED again;
          // WM_DESTROY stops the watch.
          releaseWaitSince_ = 0;
          DestroyWindow(hwnd_);
        }
        return msg == WM_XBUTTONUP ? TRUE : 0;
      default:
        if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
            (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST))
          return 0;
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
  }

  // Resizing clears the surface, so only a real change of size reaches the form. A
  // window larger than the screen gets a screen's worth of drawing.
  void Resize(int width, int height) {
    const RECT area = AtMostScreen(RECT{0, 0, width, height});
    if (area.right != form_.Canvas.Width() || area.bottom != form_.Canvas.Height())
      form_.Move(0, 0, area.right, area.bottom);
  }

  // Presents, re-arms the timers, and destroys the window once the form has unloaded.
  // True when the window is being destroyed.
  bool AfterFormCall() {
    loaded_ = true;
    if (form_.IsUnloaded()) {
      if (destroyed_ || releaseWaitSince_) return true;
      KillTimer(hwnd_, kTimer1);
      KillTimer(hwnd_, kTimer2);
      if (!parent_ && AnyButtonHeld(true)) {
        releaseWaitSince_ = GetTickCount() | 1;  // never 0, which means not waiting
        SetCapture(hwnd_);
        SetTimer(hwnd_, kReleaseWatch, kReleaseWatchMs, nullptr);
      } else {
        DestroyWindow(hwnd_);
      }
      return true;
    }
    Present();
    Arm(kTimer1, form_.Timer1, armed1_);
    Arm(kTimer2, form_.Timer2, armed2_);
    return false;
  }

  void Arm(UINT_PTR id, const Timer& timer, int& armed) {
    const int wanted = timer.Ticking() ? timer.Interval : 0;
    if (wanted == armed) return;
    if (wanted > 0)
      SetTimer(hwnd_, id, static_cast<UINT>(wanted), nullptr);
    else
      KillTimer(hwnd_, id);
    armed = wanted;
  }

  bool EnsureDib(int width, int height) {
    if (dib_ && width == dibWidth_ && height == dibHeight_) return true;
    if (memDc_) DeleteDC(memDc_);
    if (dib_) DeleteObject(dib_);
    memDc_ = nullptr;
    dib_ = nullptr;
    bits_ = nullptr;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: rows in the frame's order
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(hwnd_);
    dib_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    memDc_ = CreateCompatibleDC(screen);
    ReleaseDC(hwnd_, screen);
    if (!dib_ || !memDc_ || !bits_) return false;
    SelectObject(memDc_, dib_);
    dibWidth_ = width;
    dibHeight_ = height;
    return true;
  }

  void Present() {
    std::vector<Rect> changed = form_.ComposeFrame(frame_);
    if (frame_.Width <= 0 || frame_.Height <= 0) return;
    if (!dib_ || frame_.Width != dibWidth_ || frame_.Height != dibHeight_) {
      if (!EnsureDib(frame_.Width, frame_.Height)) return;
      changed.assign(1, Rect{0, 0, frame_.Width, frame_.Height});
    }
    auto* dest = static_cast<Pixel*>(bits_);
    for (const Rect& r : changed) {
      const int x0 = std::max(0, r.X);
      const int y0 = std::max(0, r.Y);
      const int x1 = std::min(frame_.Width, r.X + r.Width);
      const int y1 = std::min(frame_.Height, r.Y + r.Height);
      if (x0 >= x1 || y0 >= y1) continue;
      for (int y = y0; y < y1; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(frame_.Width);
        std::memcpy(dest + row + x0, frame_.Pixels.data() + row + x0,
                    static_cast<size_t>(x1 - x0) * sizeof(Pixel));
      }
      RECT dirty{x0, y0, x1, y1};
      InvalidateRect(hwnd_, &dirty, FALSE);
    }
  }

  HostWin32& host_;
  HWND parent_ = nullptr;
  HWND hwnd_ = nullptr;
  frmSSaver form_;
  Picture frame_;
  HBITMAP dib_ = nullptr;
  HDC memDc_ = nullptr;
  void* bits_ = nullptr;
  int dibWidth_ = 0;
  int dibHeight_ = 0;
  int armed1_ = 0;
  int armed2_ = 0;
  bool loaded_ = false;
  bool destroyed_ = false;
  DWORD releaseWaitSince_ = 0;  // when the wait for the buttons' release began; 0: none
};

// Runs messages until the thread's windows are done. A preview (`parent` given) also
// ends when the parent or its own window is gone without a WM_DESTROY: a host process
// that ends takes its windows, and Wine then takes the preview window with them
// unannounced, timers and all. A timer of the thread, tied to no window, looks.
int RunMessages(HWND parent = nullptr, HWND own = nullptr) {
  const UINT_PTR watch = parent ? SetTimer(nullptr, 0, kParentWatchMs, nullptr) : 0;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (watch && msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == watch) {
      if (!IsWindow(own)) break;
      if (!IsWindow(parent)) DestroyWindow(own);  // the way out its own timer takes
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (watch) KillTimer(nullptr, watch);
  return 0;
}

}  // namespace

int RunFullScreen(HINSTANCE instance, HostWin32& host) {
  RunMode = kRunModeFullScreen;
  const RECT desktop = MeasureDesktop();
  auto window = std::make_unique<SaverWindow>(host, nullptr);
  if (!window->Create(instance, desktop)) return 0;
  return RunMessages();
}

int RunPreview(HINSTANCE instance, HostWin32& host, HWND parent, HWND* created) {
  RunMode = kRunModePreview;
  PreviewParent = reinterpret_cast<uintptr_t>(parent);
  // A preview request without a live host window has nowhere to draw and nothing
  // that would ever close it: it ends quietly.
  if (!parent || !IsWindow(parent)) return 0;
  RECT client{};
  GetClientRect(parent, &client);
  client = AtMostScreen(client);
  ScreenRect = RectL{client.left, client.top, client.right, client.bottom};
  auto window = std::make_unique<SaverWindow>(host, parent);
  if (!window->Create(instance, client)) return 0;
  if (created) *created = window->Handle();
  return RunMessages(parent, window->Handle());
}

}  // namespace qm::win32
