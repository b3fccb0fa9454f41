#include "platform/win32/accessible_window.h"

#include "platform/win32/accessibility_api.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

LONG RoleOf(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::PushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::EditField:
      return ROLE_SYSTEM_TEXT;
    case AccessibleRole::StaticText:
      break;
  }
  return ROLE_SYSTEM_STATICTEXT;
}

void SetI4(VARIANT* out, long value) {
  out->vt = VT_I4;
  out->lVal = value;
}

}  // namespace

bool ChildIdOf(const VARIANT& id, long* child) {
  switch (id.vt) {
    case VT_I4:
      *child = id.lVal;
      return true;
    case VT_I2:
      *child = id.iVal;
      return true;
    case VT_EMPTY:
      *child = CHILDID_SELF;
      return true;
    default:
      return false;
  }
}

HRESULT ToBstr(const std::u16string& text, BSTR* out) {
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(Wide(text), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

AccessibleWindow::AccessibleWindow(HWND window, WindowHandler* handler, const FieldWindows* fields)
    : window_(window), handler_(handler), fields_(fields) {
  // Without it the page and its parts still read; only the way up and to the page's siblings is
  // missing.
  IAccessible* standard = nullptr;
  if (SUCCEEDED(access::CreateStdAccessibleObject(window_, OBJID_CLIENT, __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&standard)))) {
    standard_ = ScopedCom<IAccessible>(standard);
  }
}

AccessibleWindow::~AccessibleWindow() = default;

void AccessibleWindow::Disconnect() {
  if (!handler_) return;
  handler_ = nullptr;
  fields_ = nullptr;
  standard_ = ScopedCom<IAccessible>();
  pending_ = PendingActions();
  ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

std::optional<std::u16string> AccessibleWindow::TakeAction(LPARAM ticket) {
  if (!handler_) return std::nullopt;
  return pending_.Take(static_cast<uint32_t>(ticket));
}

HRESULT QueryAccessible(IAccessible* accessible, IOleWindow* window, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
      IsEqualIID(riid, __uuidof(IAccessible))) {
    *object = accessible;
  } else if (IsEqualIID(riid, __uuidof(IOleWindow))) {
    *object = window;
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  accessible->AddRef();
  return S_OK;
}

HRESULT AccessibleWindow::QueryInterface(REFIID riid, void** object) {
  return QueryAccessible(static_cast<IAccessible*>(this), static_cast<IOleWindow*>(this), riid, object);
}

ULONG AccessibleWindow::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG AccessibleWindow::Release() {
  const LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT AccessibleWindow::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AccessibleWindow::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT AccessibleWindow::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT AccessibleWindow::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT AccessibleWindow::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = handler_ ? window_ : nullptr;
  return handler_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleWindow::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT AccessibleWindow::Resolve(const VARIANT& id, AccessiblePage* page, std::optional<size_t>* part) {
  if (!handler_) return CO_E_OBJNOTCONNECTED;
  long child = 0;
  if (!ChildIdOf(id, &child)) return E_INVALIDARG;
  *page = handler_->Accessible();
  *part = PartOfChild(child, page->parts.size());
  if (child != CHILDID_SELF && !*part) return E_INVALIDARG;
  return S_OK;
}

HRESULT AccessibleWindow::Check(const VARIANT& id) {
  AccessiblePage page;
  std::optional<size_t> part;
  return Resolve(id, &page, &part);
}

HRESULT AccessibleWindow::FieldObject(WindowId field, IDispatch** object) const {
  *object = nullptr;
  HWND edit = fields_ ? fields_->FieldWindow(field) : nullptr;
  if (!edit) return E_FAIL;
  const HRESULT hr =
      access::AccessibleObjectFromWindow(edit, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(object));
  if (FAILED(hr)) *object = nullptr;
  return *object ? hr : E_FAIL;
}

void AccessibleWindow::ChildResult(const AccessiblePage& page, size_t part, VARIANT* out) const {
  IDispatch* field = nullptr;
  if (page.parts[part].role == AccessibleRole::EditField && SUCCEEDED(FieldObject(page.parts[part].field, &field))) {
    out->vt = VT_DISPATCH;
    out->pdispVal = field;
    return;
  }
  SetI4(out, ChildOfPart(part));
}

HRESULT AccessibleWindow::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!handler_) return CO_E_OBJNOTCONNECTED;
  if (!standard_.IsValid()) return E_FAIL;
  return standard_.Get()->get_accParent(parent);
}

HRESULT AccessibleWindow::get_accChildCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  if (!handler_) return CO_E_OBJNOTCONNECTED;
  *count = static_cast<LONG>(handler_->Accessible().parts.size());
  return S_OK;
}

HRESULT AccessibleWindow::get_accChild(VARIANT id, IDispatch** child) {
  if (!child) return E_POINTER;
  *child = nullptr;
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  if (!part) return E_INVALIDARG;
  const AccessiblePart& p = page.parts[*part];
  if (p.role != AccessibleRole::EditField) return S_FALSE;
  // A field whose window cannot be had is read through this object, as a text is.
  return SUCCEEDED(FieldObject(p.field, child)) ? S_OK : S_FALSE;
}

HRESULT AccessibleWindow::get_accName(VARIANT id, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  return ToBstr(part ? page.parts[*part].name : page.name, name);
}

HRESULT AccessibleWindow::get_accValue(VARIANT id, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (const HRESULT hr = Check(id); FAILED(hr)) return hr;
  // A field's text is its own object's value; nothing else here has one.
  return S_FALSE;
}

HRESULT AccessibleWindow::get_accDescription(VARIANT id, BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  return part ? S_FALSE : ToBstr(page.description, description);
}

HRESULT AccessibleWindow::get_accRole(VARIANT id, VARIANT* role) {
  if (!role) return E_POINTER;
  ::VariantInit(role);
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  // The page is a wizard's page: its heading names it, its texts describe it.
  SetI4(role, part ? RoleOf(page.parts[*part].role) : ROLE_SYSTEM_PROPERTYPAGE);
  return S_OK;
}

HRESULT AccessibleWindow::get_accState(VARIANT id, VARIANT* state) {
  if (!state) return E_POINTER;
  ::VariantInit(state);
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  const HWND focus = ::GetFocus();
  LONG bits = 0;
  if (!part) {
    bits = STATE_SYSTEM_FOCUSABLE;
    if (!::IsWindowEnabled(window_)) bits |= STATE_SYSTEM_UNAVAILABLE;
    // With a default part the focus is shown on that part instead (get_accFocus).
    if (focus == window_ && !DefaultPartOf(page)) bits |= STATE_SYSTEM_FOCUSED;
  } else {
    const AccessiblePart& p = page.parts[*part];
    switch (p.role) {
      case AccessibleRole::StaticText:
        bits = STATE_SYSTEM_READONLY;
        break;
      case AccessibleRole::PushButton:
        bits = STATE_SYSTEM_FOCUSABLE;
        if (p.isDefault) bits |= STATE_SYSTEM_DEFAULT;
        // Enter presses it while the window has the focus.
        if (p.isDefault && focus == window_) bits |= STATE_SYSTEM_FOCUSED;
        break;
      case AccessibleRole::EditField:
        bits = STATE_SYSTEM_FOCUSABLE;
        if (focus && fields_ && focus == fields_->FieldWindow(p.field)) bits |= STATE_SYSTEM_FOCUSED;
        break;
    }
    if (p.unavailable) bits |= STATE_SYSTEM_UNAVAILABLE;
  }
  SetI4(state, bits);
  return S_OK;
}

HRESULT AccessibleWindow::get_accHelp(VARIANT id, BSTR* help) {
  if (!help) return E_POINTER;
  *help = nullptr;
  const HRESULT hr = Check(id);
  return FAILED(hr) ? hr : S_FALSE;
}

HRESULT AccessibleWindow::get_accHelpTopic(BSTR* helpFile, VARIANT id, LONG* topic) {
  if (!helpFile || !topic) return E_POINTER;
  *helpFile = nullptr;
  *topic = 0;
  const HRESULT hr = Check(id);
  return FAILED(hr) ? hr : S_FALSE;
}

HRESULT AccessibleWindow::get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) {
  if (!shortcut) return E_POINTER;
  *shortcut = nullptr;
  const HRESULT hr = Check(id);
  return FAILED(hr) ? hr : S_FALSE;
}

HRESULT AccessibleWindow::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  ::VariantInit(focus);
  if (!handler_) return CO_E_OBJNOTCONNECTED;
  const AccessiblePage page = handler_->Accessible();
  const HWND focused = ::GetFocus();
  if (!focused) return S_FALSE;
  if (focused == window_) {
    const std::optional<size_t> part = DefaultPartOf(page);
    SetI4(focus, part ? ChildOfPart(*part) : CHILDID_SELF);
    return S_OK;
  }
  for (size_t i = 0; i < page.parts.size(); ++i) {
    const AccessiblePart& p = page.parts[i];
    if (p.role == AccessibleRole::EditField && fields_ && fields_->FieldWindow(p.field) == focused) {
      ChildResult(page, i, focus);
      return S_OK;
    }
  }
  return S_FALSE;
}

HRESULT AccessibleWindow::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  ::VariantInit(selection);
  return handler_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleWindow::get_accDefaultAction(VARIANT id, BSTR* action) {
  if (!action) return E_POINTER;
  *action = nullptr;
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  if (!part || page.parts[*part].role != AccessibleRole::PushButton) return S_FALSE;
  *action = ::SysAllocString(kPressAction);
  return *action ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleWindow::accSelect(LONG, VARIANT id) {
  const HRESULT hr = Check(id);
  return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleWindow::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  RECT r = {};
  if (part) {
    const AccessiblePart& p = page.parts[*part];
    r = {p.left, p.top, p.right, p.bottom};
  } else if (!::GetClientRect(window_, &r)) {
    return E_FAIL;
  }
  POINT origin = {r.left, r.top};
  if (!::ClientToScreen(window_, &origin)) return E_FAIL;
  *left = origin.x;
  *top = origin.y;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT AccessibleWindow::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  ::VariantInit(end);
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(start, &page, &part); FAILED(hr)) return hr;
  Navigation among;
  switch (direction) {
    case NAVDIR_FIRSTCHILD:
      among = Navigation::FirstChild;
      break;
    case NAVDIR_LASTCHILD:
      among = Navigation::LastChild;
      break;
    case NAVDIR_NEXT:
      among = Navigation::Next;
      break;
    case NAVDIR_PREVIOUS:
      among = Navigation::Previous;
      break;
    default:
      // Up, down, left and right: the page goes among its window's other objects as any client
      // area does; its parts are not laid out for it.
      if (part) return DISP_E_MEMBERNOTFOUND;
      return standard_.IsValid() ? standard_.Get()->accNavigate(direction, start, end) : S_FALSE;
  }
  // The page's own siblings are the system's to find.
  if (!part && (among == Navigation::Next || among == Navigation::Previous)) {
    return standard_.IsValid() ? standard_.Get()->accNavigate(direction, start, end) : S_FALSE;
  }
  const std::optional<size_t> to = Navigate(part, among, page.parts.size());
  if (!to) return S_FALSE;
  ChildResult(page, *to, end);
  return S_OK;
}

HRESULT AccessibleWindow::accHitTest(LONG x, LONG y, VARIANT* child) {
  if (!child) return E_POINTER;
  ::VariantInit(child);
  if (!handler_) return CO_E_OBJNOTCONNECTED;
  const AccessiblePage page = handler_->Accessible();
  POINT point = {x, y};
  RECT client = {};
  if (!::ScreenToClient(window_, &point) || !::GetClientRect(window_, &client)) return E_FAIL;
  if (!::PtInRect(&client, point)) return S_FALSE;
  if (const std::optional<size_t> part = PartAt(page, point.x, point.y)) {
    ChildResult(page, *part, child);
  } else {
    SetI4(child, CHILDID_SELF);
  }
  return S_OK;
}

HRESULT AccessibleWindow::accDoDefaultAction(VARIANT id) {
  AccessiblePage page;
  std::optional<size_t> part;
  if (const HRESULT hr = Resolve(id, &page, &part); FAILED(hr)) return hr;
  if (!part || page.parts[*part].role != AccessibleRole::PushButton) return DISP_E_MEMBERNOTFOUND;
  if (page.parts[*part].unavailable) return E_FAIL;
  // The press may show a message box or run the whole install: the reader's call must not wait on
  // it, so it goes through the message loop as a click does.
  const uint32_t ticket = pending_.Add(page.parts[*part].name);
  if (!::PostMessageW(window_, kDefaultActionMessage, *part, static_cast<LPARAM>(ticket))) {
    pending_.Take(ticket);
    return E_FAIL;
  }
  return S_OK;
}

HRESULT AccessibleWindow::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT AccessibleWindow::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace platform::win32
