#include "LayoutDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "setup/HandCursor.h"

namespace qm::win32 {
namespace {

constexpr int kFirstId = 100;

// The About box's pointing hand, made once and kept for the whole run (a cursor made
// with CreateCursor is freed with the process). The system's hand serves if it fails.
HCURSOR ContactCursor() {
  static const HCURSOR cursor = [] {
    const CursorArt& art = ContactHandCursor();
    const CursorPlanes planes = MonochromePlanes(art);
    const HCURSOR made = CreateCursor(GetModuleHandleA(nullptr), art.HotX, art.HotY, art.Width,
                                      art.Height, planes.And.data(), planes.Xor.data());
    return made ? made : LoadCursor(nullptr, IDC_HAND);
  }();
  return cursor;
}

void PushText(std::vector<WORD>& out, const std::string& text) {
  // Captions are Windows-1252 bytes; the template wants UTF-16.
  if (!text.empty()) {
    const int n =
        MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    for (wchar_t c : wide) out.push_back(static_cast<WORD>(c));
  }
  out.push_back(0);
}

// Labels and images act on a click as a form's do: the button pressed and released over
// them. A static control reports its click at the press, so a press dragged off it and
// released elsewhere, or held, would act; these take the press themselves and report
// the click to the dialog (`dialog`) at a release inside them. The second press of a
// double click does nothing: the first click has acted.
LRESULT CALLBACK ClickOnRelease(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                DWORD_PTR dialog) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      return 0;
    case WM_LBUTTONDBLCLK:
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ClickOnRelease, 1);
      return DefSubclassProc(hwnd, msg, wp, lp);
    case WM_LBUTTONUP: {
      if (GetCapture() != hwnd) return 0;
      ReleaseCapture();
      RECT inside{};
      GetClientRect(hwnd, &inside);
      const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (PtInRect(&inside, at))
        SendMessageA(reinterpret_cast<HWND>(dialog), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    default:
      return DefSubclassProc(hwnd, msg, wp, lp);
  }
}

void PushDword(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

void AlignDword(std::vector<WORD>& out) {
  if (out.size() % 2) out.push_back(0);
}

int PointSize(float size) {
  return static_cast<int>(std::lround(size));
}

}  // namespace

int TwipsToDluX(int twips) {
  return static_cast<int>(std::lround(twips / 22.5));
}
int TwipsToDluY(int twips) {
  return static_cast<int>(std::lround(twips / 24.375));
}

LayoutDialog::~LayoutDialog() {
  for (HFONT font : fonts_) DeleteObject(font);
}

std::vector<WORD> LayoutDialog::BuildTemplate() const {
  // Tab order is template order; controls outside it come last, in design order.
  std::vector<size_t> order(layout_.Items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int ta = layout_.Items[a].TabIndex == kNoTab ? 1 << 30 : layout_.Items[a].TabIndex;
    const int tb = layout_.Items[b].TabIndex == kNoTab ? 1 << 30 : layout_.Items[b].TabIndex;
    return ta < tb;
  });

  std::vector<WORD> t;
  t.push_back(1);       // dlgVer
  t.push_back(0xFFFF);  // signature: extended template
  PushDword(t, 0);      // helpID
  PushDword(t, 0);      // exStyle
  PushDword(t, DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.push_back(static_cast<WORD>(order.size()));
  t.push_back(0);
  t.push_back(0);
  t.push_back(static_cast<WORD>(TwipsToDluX(layout_.ClientWidth)));
  t.push_back(static_cast<WORD>(TwipsToDluY(layout_.ClientHeight)));
  t.push_back(0);  // no menu
  t.push_back(0);  // standard dialog class
  PushText(t, layout_.Caption);
  t.push_back(static_cast<WORD>(PointSize(layout_.DialogFont.SizePt)));
  t.push_back(static_cast<WORD>(layout_.DialogFont.Bold ? FW_BOLD : FW_NORMAL));
  t.push_back(static_cast<WORD>((layout_.DialogFont.Italic ? 1 : 0) | (DEFAULT_CHARSET << 8)));
  PushText(t, layout_.DialogFont.Name);

  for (size_t index : order) {
    const LayoutItem& item = layout_.Items[index];
    const RECT r = TwipsOf(item);
    AlignDword(t);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (item.Visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    WORD atom = 0x0080;  // button
    const char* className = nullptr;
    switch (item.Kind) {
      case ControlKind::Button:
        style |= WS_TABSTOP | (item.IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
      case ControlKind::Frame:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::Option:
        // Exclusive choice is the model's job: the buttons only show its state.
        style |= WS_TABSTOP | BS_RADIOBUTTON;
        break;
      case ControlKind::CheckBox:
        style |= WS_TABSTOP | BS_CHECKBOX;
        break;
      case ControlKind::Label:
        // A caption is shown as it is: an "&" in a stored address is no access key.
        atom = 0x0082;
        style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
        break;
      case ControlKind::PictureBox:
        atom = 0x0082;
        style |= SS_OWNERDRAW;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Image:
        atom = 0x0082;
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
      case ControlKind::Slider:
        className = TRACKBAR_CLASSA;
        style |= WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS;
        break;
      case ControlKind::TextBox:
        atom = 0x0081;
        style |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
        break;
    }
    PushDword(t, 0);  // helpID
    PushDword(t, exStyle);
    PushDword(t, style);
    t.push_back(static_cast<WORD>(TwipsToDluX(r.left)));
    t.push_back(static_cast<WORD>(TwipsToDluY(r.top)));
    t.push_back(static_cast<WORD>(TwipsToDluX(r.right - r.left)));
    t.push_back(static_cast<WORD>(TwipsToDluY(r.bottom - r.top)));
    PushDword(t, static_cast<DWORD>(kFirstId + index));
    if (className) {
      PushText(t, className);
    } else {
      t.push_back(0xFFFF);
      t.push_back(atom);
    }
    PushText(t, item.Kind == ControlKind::Slider ? std::string() : item.Caption);
    t.push_back(0);  // no creation data
  }
  return t;
}

// The item's rectangle in the dialog's client area, in twips (containers add up).
RECT LayoutDialog::TwipsOf(const LayoutItem& item) const {
  int left = item.Left;
  int top = item.Top;
  for (const LayoutItem* c = layout_.Find(item.Container); c; c = layout_.Find(c->Container)) {
    left += c->Left;
    top += c->Top;
    if (c->Container.empty()) break;
  }
  return RECT{left, top, left + item.Width, top + item.Height};
}

const LayoutItem* LayoutDialog::ItemById(int id) const {
  const int index = id - kFirstId;
  if (index < 0 || index >= static_cast<int>(layout_.Items.size())) return nullptr;
  return &layout_.Items[static_cast<size_t>(index)];
}

void LayoutDialog::RunModal(HINSTANCE instance, HWND owner) {
  modal_ = true;
  const std::vector<WORD> t = BuildTemplate();
  DialogBoxIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), owner,
                          &LayoutDialog::Proc, reinterpret_cast<LPARAM>(this));
}

HWND LayoutDialog::CreateModeless(HINSTANCE instance, HWND owner) {
  modal_ = false;
  const std::vector<WORD> t = BuildTemplate();
  return CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), owner,
                                    &LayoutDialog::Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK LayoutDialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    reinterpret_cast<LayoutDialog*>(lp)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<LayoutDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  return self ? self->Handle(msg, wp, lp) : FALSE;
}

INT_PTR LayoutDialog::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      for (size_t i = 0; i < layout_.Items.size(); ++i)
        ids_[layout_.Items[i].Name] = kFirstId + static_cast<int>(i);
      HICON icon = LoadIcon(GetModuleHandleA(nullptr), MAKEINTRESOURCE(1));
      if (icon) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      for (const LayoutItem& item : layout_.Items)
        if (item.Kind == ControlKind::Label || item.Kind == ControlKind::Image)
          if (HWND control = Control(item.Name))
            SetWindowSubclass(control, ClickOnRelease, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
      PlaceInPixels();
      ApplyFonts();
      Stack();
      InsetPictureBoxChildren();
      if (CentresOnOwner()) {
        CentreOnOwner();
      } else {
        CentreOnScreen();
      }
      for (size_t i = 0; i < layout_.Items.size(); ++i)
        if (layout_.Items[i].IsDefault)
          SendMessageA(hwnd_, DM_SETDEFID, static_cast<WPARAM>(kFirstId + i), 0);
      OnLoad();
      AfterEvent();
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const LayoutItem* item = ItemById(id);
      if (id == IDOK || id == IDCANCEL) {
        // Enter and Esc go to the design's default and cancel buttons, if any.
        for (const LayoutItem& candidate : layout_.Items)
          if ((id == IDOK && candidate.IsDefault) || (id == IDCANCEL && candidate.IsCancel))
            item = &candidate;
        if (!item || (item->Kind != ControlKind::Button)) return TRUE;
        OnClick(item->Name);
        AfterEvent();
        return TRUE;
      }
      if (item && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == STN_CLICKED)) {
        OnClick(item->Name);
        AfterEvent();
        return TRUE;
      }
      return FALSE;
    }
    case WM_HSCROLL: {
      const LayoutItem* item = ItemById(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
      if (item && item->Kind == ControlKind::Slider) {
        OnSlider(item->Name);
        AfterEvent();
      }
      return TRUE;
    }
    case WM_SETCURSOR: {
      // The dialog hears where the pointer is through its children's cursor requests.
      const HWND under = reinterpret_cast<HWND>(wp);
      const LayoutItem* item = under == hwnd_ ? nullptr : ItemById(GetDlgCtrlID(under));
      const std::string name = item ? item->Name : std::string();
      const bool hand = OnMouseOver(name);
      if (name != hovered_) {
        hovered_ = name;
        AfterEvent();
      }
      // No cursor request comes when the pointer leaves the dialog straight from a
      // control: while it is over one that wants the hand, a timer looks for that.
      if (hand != watchingLeave_) {
        if (hand) {
          SetTimer(hwnd_, kLeaveTimer, 100, nullptr);
        } else {
          KillTimer(hwnd_, kLeaveTimer);
        }
        watchingLeave_ = hand;
      }
      if (hand) {
        SetCursor(ContactCursor());
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    }
    case WM_TIMER: {
      if (wp != kLeaveTimer) return FALSE;
      POINT at;
      const HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
      if (under == hwnd_ || IsChild(hwnd_, under)) return TRUE;
      // Gone: the dialog takes it as the pointer over its background.
      KillTimer(hwnd_, kLeaveTimer);
      watchingLeave_ = false;
      OnMouseOver(std::string());
      hovered_.clear();
      AfterEvent();
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      const LayoutItem* item = ItemById(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
      const long colour = item ? TextColorOf(item->Name) : -1;
      if (colour < 0) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM:
      DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintLines(dc);
      EndPaint(hwnd_, &ps);
      return TRUE;
    }
    case WM_CLOSE:
      OnCloseBox();
      AfterEvent();
      return TRUE;
    case WM_DESTROY:
      if (!modal_) PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}

// True when `a` lies above `b` among the dialog's controls.
static bool IsAbove(HWND a, HWND b) {
  for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
    if (w == a) return true;
  return false;
}

std::vector<std::pair<HWND, HWND>> LayoutDialog::ContainedControls(bool pictureBoxesOnly) const {
  std::vector<std::pair<HWND, HWND>> pairs;
  for (const LayoutItem& item : layout_.Items) {
    const LayoutItem* box = layout_.Find(item.Container);
    if (!box || (box->Kind != ControlKind::PictureBox &&
                 (pictureBoxesOnly || box->Kind != ControlKind::Frame)))
      continue;
    HWND child = Control(item.Name);
    HWND container = Control(box->Name);
    if (child && container) pairs.emplace_back(child, container);
  }
  return pairs;
}

// A dialog's stacking order is its tab order, but the design stacked its controls in
// creation order: the controls of a frame or picture box lie on it (a frame comes
// before its controls in tab order, and with clipped siblings it would hide them all),
// and a small button drawn over a wider control stays clickable. A control that takes
// the focus (an option or check box) is narrowed to end where the button starts rather
// than restacked, since restacking would move it after the button in tab order; only
// frames, picture boxes and controls without tab stops are restacked.
void LayoutDialog::Stack() {
  for (const auto& [child, container] : ContainedControls(false))
    if (IsAbove(container, child))
      SetWindowPos(container, child, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (const LayoutItem& button : layout_.Items) {
    if (button.Kind != ControlKind::Button) continue;
    const RECT b = TwipsOf(button);
    for (const LayoutItem& other : layout_.Items) {
      if (&other == &button || other.Kind == ControlKind::Frame ||
          other.Kind == ControlKind::PictureBox)
        continue;
      const RECT o = TwipsOf(other);
      RECT overlap{};
      if (!IntersectRect(&overlap, &b, &o)) continue;
      HWND top = Control(button.Name);
      HWND below = Control(other.Name);
      if (!top || !below) continue;
      const bool takesFocus =
          other.Kind == ControlKind::Option || other.Kind == ControlKind::CheckBox;
      if (takesFocus && b.left > o.left) {
        SetWindowPos(below, nullptr, 0, 0, Pixels(b.left) - Pixels(o.left),
                     Pixels(o.bottom - o.top), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else if (IsAbove(below, top)) {
        SetWindowPos(below, top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      }
    }
  }
}

void LayoutDialog::PlaceInPixels() {
  HDC dc = GetDC(hwnd_);
  dpi_ = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(hwnd_, dc);
  for (const LayoutItem& item : layout_.Items) {
    HWND control = Control(item.Name);
    if (!control) continue;
    const RECT r = TwipsOf(item);
    SetWindowPos(control, nullptr, Pixels(r.left), Pixels(r.top), Pixels(r.right - r.left),
                 Pixels(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The client area as designed; the frame keeps the size the system gives it.
  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  SetWindowPos(hwnd_, nullptr, 0, 0,
               Pixels(layout_.ClientWidth) + (window.right - window.left) - client.right,
               Pixels(layout_.ClientHeight) + (window.bottom - window.top) - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutDialog::PlaceInBox(const std::string& name, int left, int top, int width, int height) {
  const LayoutItem* item = layout_.Find(name);
  const LayoutItem* box = item ? layout_.Find(item->Container) : nullptr;
  HWND control = Control(name);
  HWND container = box ? Control(box->Name) : nullptr;
  if (!control || !container) return;
  RECT inside{};
  GetClientRect(container, &inside);
  RECT wanted{Pixels(left), Pixels(top), Pixels(left) + Pixels(width),
              Pixels(top) + Pixels(height)};
  RECT shown{};
  if (!IntersectRect(&shown, &wanted, &inside)) shown = RECT{};
  POINT origin{shown.left, shown.top};
  ClientToScreen(container, &origin);
  ScreenToClient(hwnd_, &origin);
  SetWindowPos(control, nullptr, origin.x, origin.y, shown.right - shown.left,
               shown.bottom - shown.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A picture box's children are placed in its client area, inside its sunken edge; the
// template can only place them from the box's outer corner.
void LayoutDialog::InsetPictureBoxChildren() {
  for (const auto& [child, container] : ContainedControls(true)) {
    RECT outer{}, placed{};
    POINT inner{0, 0};
    GetWindowRect(container, &outer);
    ClientToScreen(container, &inner);
    GetWindowRect(child, &placed);
    POINT at{placed.left + inner.x - outer.left, placed.top + inner.y - outer.top};
    ScreenToClient(hwnd_, &at);
    SetWindowPos(child, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// As the template's centring would, for the size the dialog has now: on the work area
// of the monitor it opens on.
void LayoutDialog::CentreOnScreen() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT d{};
  if (!GetWindowRect(hwnd_, &d) ||
      !GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor))
    return;
  const RECT& a = monitor.rcWork;
  const int left = a.left + ((a.right - a.left) - (d.right - d.left)) / 2;
  const int top = a.top + ((a.bottom - a.top) - (d.bottom - d.top)) / 2;
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutDialog::CentreOnOwner() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  RECT o{}, d{};
  if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(hwnd_, &d)) return;
  const int left = o.left + ((o.right - o.left) - (d.right - d.left)) / 2;
  const int top = o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2;
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutDialog::AfterEvent() {
  if (ended_) return;
  if (Closed()) {
    ended_ = true;
    if (modal_)
      EndDialog(hwnd_, 0);
    else
      DestroyWindow(hwnd_);
    return;
  }
  Refresh();
}

void LayoutDialog::ApplyFonts() {
  const Font& base = layout_.DialogFont;
  HDC dc = GetDC(hwnd_);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd_, dc);
  std::map<std::string, HFONT> made;
  for (const LayoutItem& item : layout_.Items) {
    const Font& f = item.TextFont;
    if (f.Name == base.Name && f.SizePt == base.SizePt && f.Bold == base.Bold &&
        f.Italic == base.Italic && f.Underline == base.Underline)
      continue;
    const std::string key = f.Name + "|" + std::to_string(f.SizePt) + (f.Bold ? "b" : "") +
                            (f.Italic ? "i" : "") + (f.Underline ? "u" : "");
    HFONT& font = made[key];
    if (!font) {
      font = CreateFontA(-static_cast<int>(std::lround(f.SizePt * dpi / 72.0)), 0, 0, 0,
                         f.Bold ? FW_BOLD : FW_NORMAL, f.Italic, f.Underline, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, f.Name.c_str());
      if (font) fonts_.push_back(font);
    }
    if (font) SendMessageA(Control(item.Name), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

void LayoutDialog::DrawPicture(const DRAWITEMSTRUCT& draw) {
  const LayoutItem* item = ItemById(static_cast<int>(draw.CtlID));
  FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const Picture* picture = item ? PictureOf(item->Name) : nullptr;
  if (!picture || picture->Width <= 0 || picture->Height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture->Width;
  info.bmiHeader.biHeight = -picture->Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // An image fills its control, as the dialogs size their pictures to their boxes. A
  // masked one (the icon) goes over the face as a sprite does: the mask ANDed, then the
  // picture, black outside its shape, XORed.
  SetStretchBltMode(draw.hDC, COLORONCOLOR);
  const Picture* mask = MaskOf(item->Name);
  if (mask && (mask->Width != picture->Width || mask->Height != picture->Height)) mask = nullptr;
  const auto blit = [&](const Picture& p, DWORD rop) {
    StretchDIBits(draw.hDC, draw.rcItem.left, draw.rcItem.top, draw.rcItem.right - draw.rcItem.left,
                  draw.rcItem.bottom - draw.rcItem.top, 0, 0, p.Width, p.Height, p.Pixels.data(),
                  &info, DIB_RGB_COLORS, rop);
  };
  if (mask) blit(*mask, SRCAND);
  blit(*picture, mask ? SRCINVERT : SRCCOPY);
}

void LayoutDialog::PaintLines(HDC dc) {
  // Lines go to the nearest pixel: an etched pair 10 twips apart (grey at 2400, white
  // at 2410) would otherwise land on one row, the white over the grey.
  const auto nearest = [this](int twips) { return (twips * dpi_ + 720) / 1440; };
  for (const LayoutLine& line : layout_.Lines) {
    const RECT r{nearest(line.X1), nearest(line.Y1), nearest(line.X2), nearest(line.Y2)};
    HPEN pen =
        CreatePen(PS_SOLID, line.WidthPixels,
                  RGB((line.Color >> 16) & 0xFF, (line.Color >> 8) & 0xFF, line.Color & 0xFF));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right, r.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

HWND LayoutDialog::Control(const std::string& name) const {
  const auto it = ids_.find(name);
  return it == ids_.end() ? nullptr : GetDlgItem(hwnd_, it->second);
}

void LayoutDialog::SetText(const std::string& name, const std::string& text) {
  HWND control = Control(name);
  if (!control) return;
  char current[512] = {};
  GetWindowTextA(control, current, sizeof current);
  if (text != current) SetWindowTextA(control, text.c_str());
}

void LayoutDialog::SetChecked(const std::string& name, bool checked) {
  HWND control = Control(name);
  if (control) SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void LayoutDialog::SetSlider(const std::string& name, int min, int max, int position) {
  HWND control = Control(name);
  if (!control) return;
  SendMessageA(control, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
  if (SendMessageA(control, TBM_GETPOS, 0, 0) != position)
    SendMessageA(control, TBM_SETPOS, TRUE, position);
}

int LayoutDialog::SliderPosition(const std::string& name) const {
  HWND control = Control(name);
  return control ? static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0)) : 0;
}

void LayoutDialog::Redraw(const std::string& name) {
  HWND control = Control(name);
  if (control) InvalidateRect(control, nullptr, TRUE);
}

}  // namespace qm::win32
