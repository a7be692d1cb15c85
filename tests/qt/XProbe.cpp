// qm_xprobe: the X client the end-to-end scripts lean on for what xdotool lacks.
//   qm_xprobe window W H      maps a W x H top-level window, prints its id, and keeps
//                             it until the process is killed
//   qm_xprobe destroy ID      destroys window ID (whoever owns it)
//   qm_xprobe close ID        asks window ID to close, as a window manager does
//                             (WM_DELETE_WINDOW)
//   qm_xprobe size ID         prints "W H" of window ID; exit 1 when it does not exist
//   qm_xprobe children ID     prints how many mapped children window ID has
//   qm_xprobe child-size ID   prints "W H" of the first mapped child of window ID
//   qm_xprobe nonblack ID     prints how many pixels of window ID are not black
//   qm_xprobe child-nonblack ID   the same for the first mapped child of window ID
//   qm_xprobe digest ID       prints a hash of window ID's pixels, which changes when
//                             they do
//   qm_xprobe child-pixel ID X Y  prints the colour (RRGGBB) at X, Y of the first mapped
//                             child of window ID
//   qm_xprobe top            prints the topmost mapped child of the root window
//   qm_xprobe stack          prints the mapped children of the root window, bottom to
//                            top, one a line
//   qm_xprobe unmap ID MS    unmaps window ID (whoever owns it) and waits up to MS
//                            milliseconds for it to be mapped again; exit 0 when it
//                            was (printing after how long), 1 when not
//   qm_xprobe covered MS     maps a top-level window and waits up to MS milliseconds for
//                            another window to be stacked over it; exit 0 when one was
//                            (printing after how long), 1 when it was still on top
//                            (without a window manager, which would frame the window)
//   qm_xprobe fight MS       maps a top-level window and, for MS milliseconds, raises it
//                            again whenever another window goes over it (as a program
//                            that insists on staying on top); prints how many times
//   qm_xprobe grabbed         prints "keyboard" and/or "pointer" for each that another
//                             client holds grabbed (one word a line)
//   qm_xprobe hold-grab MS    grabs keyboard and pointer, prints "held", keeps them MS
//                             milliseconds (as a hot key's program may), then ends
//   qm_xprobe hold-pointer MS the same with the pointer alone (as a game may)
//   qm_xprobe pointer-hidden  exit 0 when the pointer's current image is fully
//                             transparent, 1 when something of it shows
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int errors = 0;
int CountError(Display*, XErrorEvent*) {
  ++errors;
  return 0;
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: qm_xprobe window W H [input-only] | destroy ID | close ID | size ID | children ID |"
      " child-size ID | [child-]nonblack ID | digest ID | child-pixel ID X Y | top | stack |"
      " unmap ID MS | covered MS | fight MS | grabbed | hold-grab MS | hold-pointer MS |"
      " pointer-hidden\n");
  return 2;
}

Window ParseId(const char* text) {
  return static_cast<Window>(std::strtoull(text, nullptr, 0));
}

// Mapped children, in stacking order.
int MappedChildren(Display* d, Window w, Window* first) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return -1;
  int mapped = 0;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) {
      if (mapped == 0 && first) *first = children[i];
      ++mapped;
    }
  }
  if (children) XFree(children);
  return mapped;
}

// The topmost mapped child of the root window.
bool TopMapped(Display* d, Window* top) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return false;
  *top = 0;
  for (unsigned int i = 0; i < count; ++i) {  // bottom to top
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) *top = children[i];
  }
  if (children) XFree(children);
  return *top != 0;
}

int Probe(Display* d, int argc, char** argv) {
  XSetErrorHandler(CountError);
  const std::string command = argv[1];

  if (command == "window" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "input-only"))) {
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const int screen = DefaultScreen(d);
    const Window w = argc == 5
                         ? XCreateWindow(d, RootWindow(d, screen), 10, 10, width, height, 0, 0,
                                         InputOnly, CopyFromParent, 0, nullptr)
                         : XCreateSimpleWindow(d, RootWindow(d, screen), 10, 10, width, height, 0,
                                               BlackPixel(d, screen), WhitePixel(d, screen));
    XStoreName(d, w, "qm_xprobe host");
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("%lu\n", static_cast<unsigned long>(w));
    std::fflush(stdout);
    for (;;) pause();
  }
  if ((command == "top" || command == "stack") && argc == 2) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 1;
    Window top = 0;
    for (unsigned int i = 0; i < count; ++i) {  // bottom to top
      XWindowAttributes a{};
      if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
      top = children[i];
      if (command == "stack") std::printf("%lu\n", static_cast<unsigned long>(top));
    }
    if (children) XFree(children);
    if (command == "top") std::printf("%lu\n", static_cast<unsigned long>(top));
    return top ? 0 : 1;
  }
  if (command == "unmap" && argc == 4) {
    const Window w = ParseId(argv[2]);
    const int limitMs = std::atoi(argv[3]);
    XSelectInput(d, w, StructureNotifyMask);
    XUnmapWindow(d, w);
    XSync(d, False);
    if (errors) return 2;
    const auto start = std::chrono::steady_clock::now();
    bool unmapped = false;
    for (;;) {
      while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == UnmapNotify) unmapped = true;
        if (event.type == MapNotify && unmapped) {
          std::printf("mapped again after %lld ms\n",
                      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now() - start)
                                                 .count()));
          return 0;
        }
      }
      if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) {
        std::printf(unmapped ? "still unmapped after %d ms\n" : "not unmapped in %d ms\n", limitMs);
        return 1;
      }
      usleep(2000);
    }
  }
  if ((command == "covered" || command == "fight") && argc == 3) {
    const int limitMs = std::atoi(argv[2]);
    const int screen = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 10, 10, 200, 150, 0,
                                         BlackPixel(d, screen), WhitePixel(d, screen));
    XStoreName(d, w, "qm_xprobe cover");
    XMapWindow(d, w);
    XSync(d, False);
    const auto start = std::chrono::steady_clock::now();
    int raises = 0;
    for (;;) {
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
      Window top = 0;
      if (TopMapped(d, &top) && top != w) {
        if (command == "covered") {
          std::printf("covered after %lld ms\n", static_cast<long long>(ms));
          return 0;
        }
        XRaiseWindow(d, w);
        XSync(d, False);
        ++raises;
      }
      if (ms > limitMs) {
        if (command == "fight") {
          std::printf("%d\n", raises);
          return 0;
        }
        std::printf("still on top after %lld ms\n", static_cast<long long>(ms));
        return 1;
      }
      usleep(5000);
    }
  }
  if (command == "grabbed" && argc == 2) {
    const Window root = DefaultRootWindow(d);
    if (XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
        AlreadyGrabbed) {
      std::printf("keyboard\n");
    } else {
      XUngrabKeyboard(d, CurrentTime);
    }
    if (XGrabPointer(d, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                     CurrentTime) == AlreadyGrabbed) {
      std::printf("pointer\n");
    } else {
      XUngrabPointer(d, CurrentTime);
    }
    XSync(d, False);
    return 0;
  }
  if ((command == "hold-grab" || command == "hold-pointer") && argc == 3) {
    const Window root = DefaultRootWindow(d);
    const bool keyboard = command == "hold-grab";
    if ((keyboard &&
         XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) ||
        XGrabPointer(d, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                     CurrentTime) != GrabSuccess) {
      std::fprintf(stderr, "qm_xprobe: could not grab\n");
      return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    usleep(static_cast<useconds_t>(std::atoi(argv[2])) * 1000u);
    XUngrabKeyboard(d, CurrentTime);
    XUngrabPointer(d, CurrentTime);
    XSync(d, False);
    return 0;
  }
  if (command == "pointer-hidden" && argc == 2) {
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    if (!image) return 2;
    bool visible = false;
    for (int i = 0; i < image->width * image->height; ++i) {
      if ((image->pixels[i] >> 24) & 0xFF) visible = true;
    }
    XFree(image);
    return visible ? 1 : 0;
  }
  if (command == "child-pixel" && argc == 5) {
    Window child = 0;
    if (MappedChildren(d, ParseId(argv[2]), &child) <= 0) return 1;
    XImage* image =
        XGetImage(d, child, std::atoi(argv[3]), std::atoi(argv[4]), 1, 1, AllPlanes, ZPixmap);
    if (!image || errors) return 1;
    std::printf("%06lX\n", XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return 0;
  }
  if (argc != 3) return Usage();
  const Window id = ParseId(argv[2]);
  if (command == "destroy") {
    XDestroyWindow(d, id);
    XSync(d, False);
    return errors ? 1 : 0;
  }
  if (command == "close") {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, id, False, NoEventMask, &event);
    XSync(d, False);
    return errors ? 1 : 0;
  }
  if (command == "size" || command == "child-size" || command == "children") {
    Window target = id;
    if (command != "size") {
      Window first = 0;
      const int mapped = MappedChildren(d, id, &first);
      if (command == "children") {
        std::printf("%d\n", mapped < 0 ? 0 : mapped);
        return mapped < 0 ? 1 : 0;
      }
      if (mapped <= 0) return 1;
      target = first;
    }
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, target, &a) || errors) return 1;
    std::printf("%d %d\n", a.width, a.height);
    return 0;
  }
  if (command == "nonblack" || command == "child-nonblack" || command == "digest") {
    Window target = id;
    if (command == "child-nonblack" && MappedChildren(d, id, &target) <= 0) return 1;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, target, &a) || errors) return 1;
    XImage* image = XGetImage(d, target, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return 1;
    long count = 0;
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFF;
        if (pixel != 0) ++count;
        hash = (hash ^ pixel) * 1099511628211ull;
      }
    }
    XDestroyImage(image);
    if (command == "digest") {
      std::printf("%016llx\n", hash);
    } else {
      std::printf("%ld\n", count);
    }
    return 0;
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "qm_xprobe: no X display\n");
    return 2;
  }
  // Closed on every way out, so that a sanitizer build finds nothing left behind.
  const int status = Probe(d, argc, argv);
  XCloseDisplay(d);
  return status;
}
