#include "platform/win32/win32_window.h"

#include <oleacc.h>

#include <optional>
#include <vector>

#include "platform/accessible_parts.h"
#include "platform/win32/accessibility_api.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

// The one setup window of the process; its window procedure finds its owner here.
Win32Windows* g_windows = nullptr;

COLORREF Colour(Rgb c) { return RGB(c.r, c.g, c.b); }
HGDIOBJ Object(GdiHandle h) { return reinterpret_cast<HGDIOBJ>(h); }
GdiHandle ToHandle(HGDIOBJ h) { return reinterpret_cast<GdiHandle>(h); }

// The bitmap and memory context StretchBitmap makes for one blit.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};

using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedMemoryDc = ScopedHandle<MemoryDcTraits>;

// Chromium's ScopedSelectObject on a raw context: the object it replaced goes back at the end.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (replaced_) ::SelectObject(dc_, replaced_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ replaced_;
};

class Win32Painter : public Painter {
 public:
  // On a BeginPaint context when paint is given, else on a GetDC context.
  Win32Painter(HWND window, bool paint) : window_(window), paint_(paint) {
    dc_ = paint_ ? ::BeginPaint(window_, &ps_) : ::GetDC(window_);
  }
  ~Win32Painter() override {
    if (paint_) {
      ::EndPaint(window_, &ps_);
    } else if (dc_) {
      ::ReleaseDC(window_, dc_);
    }
  }
  Win32Painter(const Win32Painter&) = delete;
  Win32Painter& operator=(const Win32Painter&) = delete;

  GdiObject CreateSolidPen(Rgb colour) override {
    return GdiObject(*this, ToHandle(::CreatePen(PS_SOLID, 1, Colour(colour))));
  }
  GdiHandle Stock(StockObject object) override {
    int which = object == StockObject::BlackPen ? BLACK_PEN : object == StockObject::WhitePen ? WHITE_PEN : WHITE_BRUSH;
    return ToHandle(::GetStockObject(which));
  }
  void MoveTo(int x, int y) override { ::MoveToEx(dc_, x, y, nullptr); }
  void LineTo(int x, int y) override { ::LineTo(dc_, x, y); }
  void Rectangle(int left, int top, int right, int bottom) override { ::Rectangle(dc_, left, top, right, bottom); }
  void SetTransparentBackground() override { ::SetBkMode(dc_, TRANSPARENT); }
  void SetTextColour(Rgb colour) override { ::SetTextColor(dc_, Colour(colour)); }
  void TextA(int x, int y, const std::string& text) override {
    ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  }
  void TextW(int x, int y, const std::u16string& text) override {
    ::TextOutW(dc_, x, y, Wide(text), static_cast<int>(text.size()));
  }
  void StretchBitmap(const uint8_t* infoHeader, const uint8_t* bits, int xd, int yd, int wd, int hd, int xs, int ys,
                     int ws, int hs) override {
    auto info = reinterpret_cast<const BITMAPINFO*>(infoHeader);
    // Declared in this order so that the bitmap is put out of the memory context, the context
    // deleted, and only then the bitmap deleted.
    ScopedGdiObject bitmap(::CreateDIBitmap(dc_, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS));
    if (!bitmap.IsValid()) return;
    ScopedMemoryDc memory(::CreateCompatibleDC(dc_));
    if (!memory.IsValid()) return;
    ScopedSelectObject selected(memory.Get(), bitmap.Get());
    ::StretchBlt(dc_, xd, yd, wd, hd, memory.Get(), xs, ys, ws, hs, SRCCOPY);
  }

 private:
  GdiHandle Select(GdiHandle object) override { return ToHandle(::SelectObject(dc_, Object(object))); }
  void DeleteObject(GdiHandle object) override { ::DeleteObject(Object(object)); }

  HWND window_;
  bool paint_;
  PAINTSTRUCT ps_ = {};
  HDC dc_ = nullptr;
};

}  // namespace

Win32Windows::~Win32Windows() {
  // Before COM goes: the objects let go of the system's objects and of other processes.
  EndAccessibility();
  if (oleInitialized_) ::OleUninitialize();
  if (g_windows == this) g_windows = nullptr;
}

// A Unicode window procedure throughout: the title given to CreateWindowExW stays UTF-16 whatever
// the ANSI code page (code page 950 has no 统 or 装).
LRESULT CALLBACK Win32Windows::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_windows || !g_windows->handler_) return ::DefWindowProcW(window, message, wParam, lParam);
  return g_windows->Handle(window, message, wParam, lParam);
}

LRESULT Win32Windows::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!main_) main_ = window;  // WM_CREATE and its forerunners arrive before CreateWindowExW returns
  switch (message) {
    case WM_CREATE:
      handler_->OnCreate();
      return 0;
    case WM_PAINT: {
      Win32Painter painter(window, true);
      handler_->OnPaint(painter);
      return 0;
    }
    case WM_MOUSEMOVE:
      handler_->OnMouseMove(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      handler_->OnButtonDown(LOWORD(lParam), HIWORD(lParam), wParam, lParam);
      return 0;
    case WM_TIMER:
      handler_->OnTimer(wParam);
      return 0;
    case WM_SETFOCUS:
      handler_->OnSetFocus();
      // Unless the handler passed the focus on to a field, Enter now presses the default part:
      // that part is what a reader announces as focused.
      if (!accessibilityEnded_ && ::GetFocus() == window) {
        if (const std::optional<size_t> part = DefaultPartOf(handler_->Accessible())) {
          NotifyAccessible(AccessibleEvent::PartFocused, static_cast<int>(*part));
        }
      }
      return 0;
    case WM_CLOSE:
      handler_->OnClose();
      return 0;
    case WM_DESTROY:
      EndAccessibility();
      handler_->OnDestroy();
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT object = AccessibleObject(window, wParam, lParam)) return object;
      break;
    case kDefaultActionMessage:
      if (accessible_.IsValid()) {
        if (const std::optional<std::u16string> name = accessible_.Get()->TakeAction(lParam)) {
          handler_->OnDefaultAction(wParam, *name);
        }
      }
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Windows::AccessibleObject(HWND window, WPARAM wParam, LPARAM lParam) {
  if (accessibilityEnded_ || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  // One object for the window's life: it asks the handler for the page at every call.
  if (!accessible_.IsValid()) accessible_ = ScopedCom<AccessibleWindow>(new AccessibleWindow(window, handler_, this));
  const LRESULT object =
      access::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible_.Get()));
  return object > 0 ? object : 0;
}

void Win32Windows::EndAccessibility() {
  accessibilityEnded_ = true;
  if (accessible_.IsValid()) {
    accessible_.Get()->Disconnect();
    accessible_ = ScopedCom<AccessibleWindow>();
  }
  for (auto& [id, edit] : edits_) edit.Disconnect();
}

HWND Win32Windows::FieldWindow(WindowId field) const { return field == 0 ? nullptr : Find(field); }

HWND Win32Windows::Find(WindowId window) const {
  if (window == 0) return main_;
  auto it = edits_.find(window);
  return it == edits_.end() ? nullptr : it->second.Window();
}

WindowId Win32Windows::IdOf(HWND window) const {
  if (!window) return kNoWindow;
  if (window == main_) return 0;
  for (const auto& [id, edit] : edits_) {
    if (edit.Window() == window) return id;
  }
  return kNoWindow;
}

bool Win32Windows::TakeKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !handler_ || IdOf(msg.hwnd) == kNoWindow) return false;
  Key key;
  switch (msg.wParam) {
    case VK_RETURN:
      key = Key::Enter;
      break;
    case VK_ESCAPE:
      key = Key::Escape;
      break;
    case VK_TAB:
      key = Key::Tab;
      break;
    default:
      return false;
  }
  // A held key repeats: a held Enter would run through the pages and start the install. The
  // repeat is swallowed, or the field would take it as a character.
  constexpr LPARAM kKeyWasDown = 1 << 30;
  if (!(msg.lParam & kKeyWasDown)) handler_->OnKey(key, ::GetKeyState(VK_SHIFT) < 0);
  return true;
}

uint16_t Win32Windows::RegisterWindowClass(const std::string& className, const std::string& iconName,
                                           const std::string& menuName, WindowHandler* handler) {
  g_windows = this;
  handler_ = handler;
  // The window's accessible objects reach readers in other processes through COM.
  if (!oleInitialized_) oleInitialized_ = SUCCEEDED(::OleInitialize(nullptr));
  const std::wstring wideMenu = WidenAscii(menuName);
  const std::wstring wideClass = WidenAscii(className);
  WNDCLASSW wc = {};
  wc.style = 0;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconA(instance_, iconName.c_str());
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszMenuName = wideMenu.c_str();
  wc.lpszClassName = wideClass.c_str();
  return ::RegisterClassW(&wc);
}

bool Win32Windows::CreateMain(const std::string& className, const std::u16string& title, int x, int y, int width,
                              int height) {
  const std::wstring wideClass = WidenAscii(className);
  HWND window = ::CreateWindowExW(0, wideClass.c_str(), Wide(title), WS_SYSMENU, x, y, width, height, nullptr, nullptr,
                                  instance_, nullptr);
  if (!window) {
    main_ = nullptr;
    return false;
  }
  main_ = window;
  return true;
}

WindowId Win32Windows::CreateEdit(int x, int y, int width, int height, const std::string& text) {
  HWND edit = ::CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_SYSMENU, x, y, width, height, main_, nullptr,
                                instance_, nullptr);
  if (!edit) return 0;
  WindowId id = nextEdit_++;
  edits_.try_emplace(id, edit, id, accessibilityEnded_ ? nullptr : handler_);
  return id;
}

void Win32Windows::Show(WindowId window, int showCommand) {
  if (HWND h = Find(window)) ::ShowWindow(h, showCommand);
}

void Win32Windows::NotifyAccessible(AccessibleEvent event, int part) {
  if (!main_) return;
  const LONG child = part < 0 ? CHILDID_SELF : part + 1;
  switch (event) {
    case AccessibleEvent::PageChanged:
      access::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, main_, OBJID_CLIENT, CHILDID_SELF);
      access::NotifyWinEvent(EVENT_OBJECT_REORDER, main_, OBJID_CLIENT, CHILDID_SELF);
      break;
    case AccessibleEvent::PartFocused:
      access::NotifyWinEvent(EVENT_OBJECT_FOCUS, main_, OBJID_CLIENT, child);
      break;
    case AccessibleEvent::StateChanged:
      access::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, main_, OBJID_CLIENT, child);
      break;
  }
}

void Win32Windows::Update() {
  if (main_) ::UpdateWindow(main_);
}

void Win32Windows::Destroy(WindowId window) {
  HWND h = Find(window);
  if (!h) return;
  ::DestroyWindow(h);
  if (window == 0) {
    main_ = nullptr;
  } else {
    edits_.erase(window);
  }
}

void Win32Windows::SetText(WindowId window, const std::string& text) {
  if (HWND h = Find(window)) ::SetWindowTextA(h, text.c_str());
}

std::string Win32Windows::GetText(WindowId window, int maxBytes) {
  HWND h = Find(window);
  if (!h || maxBytes <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(maxBytes) + 1, '\0');
  int n = ::GetWindowTextA(h, buffer.data(), maxBytes);
  return std::string(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

void Win32Windows::SetFocus(WindowId window) {
  HWND h = Find(window);
  if (!h) return;
  ::SetFocus(h);
  if (window != 0) ::SendMessageA(h, EM_SETSEL, 0, -1);
}

WindowId Win32Windows::Focused() { return IdOf(::GetFocus()); }

void Win32Windows::Enable(bool enabled) {
  if (main_) ::EnableWindow(main_, enabled);
}

void Win32Windows::Activate() {
  if (!main_) return;
  // Either may be refused (another program holds the foreground); whatever they achieve is all
  // that can be had, so their results are not examined.
  ::SetForegroundWindow(main_);
  ::SetActiveWindow(main_);
}

void Win32Windows::Invalidate() {
  if (main_) ::InvalidateRect(main_, nullptr, FALSE);
}

std::unique_ptr<Painter> Win32Windows::WindowPainter() { return std::make_unique<Win32Painter>(main_, false); }

bool Win32Windows::SetTimer(uintptr_t id, uint32_t milliseconds) {
  return main_ && ::SetTimer(main_, id, milliseconds, nullptr) != 0;
}

void Win32Windows::KillTimer(uintptr_t id) {
  if (main_) ::KillTimer(main_, id);
}

void Win32Windows::PostDestroy(uintptr_t wParam, intptr_t lParam) {
  if (main_) ::PostMessageA(main_, WM_DESTROY, wParam, lParam);
}

void Win32Windows::PostQuit(int exitCode) { ::PostQuitMessage(exitCode); }

int Win32Windows::RunMessageLoop() {
  MSG msg;
  // GetMessageA gives -1 on an error; that ends the loop too.
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Taken before TranslateMessage, so that no WM_CHAR of Enter or Tab reaches a field either:
    // a single-line edit control only beeps at them.
    if (TakeKey(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

GdiObject Win32Windows::MakeFont(const FontRequest& font) {
  return GdiObject(*this, ToHandle(::CreateFontA(font.height, font.width, 0, 0, 0, FALSE, FALSE, FALSE, font.charset, 0,
                                                 0, 0, 0, font.face.c_str())));
}

GdiObject Win32Windows::CreateSolidBrush(Rgb colour) {
  return GdiObject(*this, ToHandle(::CreateSolidBrush(Colour(colour))));
}

void Win32Windows::DeleteObject(GdiHandle object) { ::DeleteObject(Object(object)); }

}  // namespace platform::win32
