#include "platform/win32/named_edit.h"

#include <oleacc.h>

#include <utility>

#include "platform/win32/accessibility_api.h"
#include "platform/win32/accessible_window.h"

namespace platform::win32 {
namespace {

// Where the subclassed control finds its NamedEdit.
constexpr char kProperty[] = "platform.NamedEdit";

}  // namespace

// The control's standard object, asked for everything but its own name.
class NamedEditObject final : public IAccessible, public IOleWindow {
 public:
  NamedEditObject(ScopedCom<IAccessible> standard, HWND edit, WindowId id, WindowHandler* handler)
      : standard_(std::move(standard)), edit_(edit), id_(id), handler_(handler) {}
  NamedEditObject(const NamedEditObject&) = delete;
  NamedEditObject& operator=(const NamedEditObject&) = delete;

  void Disconnect() {
    if (!handler_) return;
    handler_ = nullptr;
    standard_ = ScopedCom<IAccessible>();
    ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return QueryAccessible(static_cast<IAccessible*>(this), static_cast<IOleWindow*>(this), riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = handler_ ? edit_ : nullptr;
    return handler_ ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    if (!Connected()) return CO_E_OBJNOTCONNECTED;
    long child = 0;
    if (!ChildIdOf(id, &child) || child != CHILDID_SELF) return standard_.Get()->get_accName(id, name);
    if (!name) return E_POINTER;
    const AccessiblePage page = handler_->Accessible();
    for (const AccessiblePart& part : page.parts) {
      if (part.role == AccessibleRole::EditField && part.field == id_) return ToBstr(part.name, name);
    }
    *name = nullptr;
    return S_FALSE;  // a field the page does not show now
  }

  // Everything else is the control's.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Connected() ? standard_.Get()->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return Connected() ? standard_.Get()->get_accChildCount(count) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    return Connected() ? standard_.Get()->get_accChild(id, child) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    return Connected() ? standard_.Get()->get_accValue(id, value) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
    return Connected() ? standard_.Get()->get_accDescription(id, description) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    return Connected() ? standard_.Get()->get_accRole(id, role) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    return Connected() ? standard_.Get()->get_accState(id, state) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
    return Connected() ? standard_.Get()->get_accHelp(id, help) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT id, LONG* topic) override {
    return Connected() ? standard_.Get()->get_accHelpTopic(helpFile, id, topic) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
    return Connected() ? standard_.Get()->get_accKeyboardShortcut(id, shortcut) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return Connected() ? standard_.Get()->get_accFocus(focus) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Connected() ? standard_.Get()->get_accSelection(selection) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return Connected() ? standard_.Get()->get_accDefaultAction(id, action) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    return Connected() ? standard_.Get()->accSelect(flags, id) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override {
    return Connected() ? standard_.Get()->accLocation(left, top, width, height, id) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Connected() ? standard_.Get()->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return Connected() ? standard_.Get()->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    return Connected() ? standard_.Get()->accDoDefaultAction(id) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override {
    return Connected() ? standard_.Get()->put_accName(id, name) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override {
    return Connected() ? standard_.Get()->put_accValue(id, value) : CO_E_OBJNOTCONNECTED;
  }

 private:
  ~NamedEditObject() = default;
  bool Connected() const { return handler_ && standard_.IsValid(); }

  LONG refs_ = 1;
  ScopedCom<IAccessible> standard_;
  HWND edit_;
  WindowId id_;
  WindowHandler* handler_;
};

NamedEdit::NamedEdit(HWND edit, WindowId id, WindowHandler* handler) : edit_(edit), id_(id), handler_(handler) {
  // Without the subclass the field still works; it is only read without its name.
  if (!::SetPropA(edit_, kProperty, this)) return;
  previous_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  if (!previous_) ::RemovePropA(edit_, kProperty);
}

NamedEdit::~NamedEdit() {
  Unsubclass();
  Disconnect();
}

void NamedEdit::Disconnect() {
  handler_ = nullptr;
  if (!object_.IsValid()) return;
  object_.Get()->Disconnect();
  object_ = ScopedCom<NamedEditObject>();
}

void NamedEdit::Unsubclass() {
  if (!previous_) return;
  ::SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  ::RemovePropA(edit_, kProperty);
  previous_ = nullptr;
}

LRESULT NamedEdit::AccessibleObject(WPARAM wParam) {
  if (!handler_) return 0;
  if (!object_.IsValid()) {
    IAccessible* standard = nullptr;
    if (FAILED(access::CreateStdAccessibleObject(edit_, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&standard)))) {
      return 0;
    }
    object_ = ScopedCom<NamedEditObject>(new NamedEditObject(ScopedCom<IAccessible>(standard), edit_, id_, handler_));
  }
  const LRESULT object =
      access::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_.Get()));
  return object > 0 ? object : 0;
}

LRESULT CALLBACK NamedEdit::Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<NamedEdit*>(::GetPropA(edit, kProperty));
  if (!self) return ::DefWindowProcA(edit, message, wParam, lParam);  // the property goes only with the subclass
  const WNDPROC previous = self->previous_;
  if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
    if (const LRESULT object = self->AccessibleObject(wParam)) return object;
  } else if (message == WM_NCDESTROY) {
    // The control's last message: it goes on without the subclass, and readers holding its
    // object are told it is gone.
    self->Unsubclass();
    self->Disconnect();
  }
  return ::CallWindowProcA(previous, edit, message, wParam, lParam);
}

}  // namespace platform::win32
