// The setup window's client area for Active Accessibility: the page the handler describes, its
// parts as children, a button's press carried to the handler through the message loop. The window
// answers WM_GETOBJECT for OBJID_CLIENT with it.
#pragma once
#include <oleacc.h>
#include <windows.h>

#include <optional>
#include <string>

#include "platform/accessible_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/window.h"

// Interface ids are taken with __uuidof throughout: the import library of oleacc.dll in some
// mingw-w64 releases defines IID_IAccessible as a function's thunk, which links without a word and
// hands the system a garbage id.

namespace platform::win32 {

// Posted to the setup window when a reader asks for a button's press: wParam is the part's index,
// lParam the ticket under which the object keeps the part's name (AccessibleWindow::TakeAction).
constexpr UINT kDefaultActionMessage = WM_APP + 1;

// A push button's default action: "Press", in the window's own language.
inline constexpr wchar_t kPressAction[] = L"\u6309\u4e0b";

// The windows of the edit fields the page's parts name.
class FieldWindows {
 public:
  virtual HWND FieldWindow(WindowId field) const = 0;

 protected:
  ~FieldWindows() = default;
};

// The child id a call names: VT_I4 as the readers send it, VT_I2 and VT_EMPTY (the object itself)
// as the system's own objects also take them. False for anything else.
bool ChildIdOf(const VARIANT& id, long* child);
// QueryInterface of an object that is an IAccessible and an IOleWindow (the window's and a
// field's): the interface asked for with a reference added, or E_NOINTERFACE.
HRESULT QueryAccessible(IAccessible* accessible, IOleWindow* window, REFIID riid, void** object);
// `text` as a BSTR the caller frees; S_FALSE and no string for an empty text.
HRESULT ToBstr(const std::u16string& text, BSTR* out);

class AccessibleWindow final : public IAccessible, public IOleWindow {
 public:
  // With one reference, the caller's. `fields` must outlive the object or its Disconnect.
  AccessibleWindow(HWND window, WindowHandler* handler, const FieldWindows* fields);
  AccessibleWindow(const AccessibleWindow&) = delete;
  AccessibleWindow& operator=(const AccessibleWindow&) = delete;

  // The window is going: the handler is never asked again, readers' calls fail from now on and
  // other processes' hold on the object is cut. The caller still holds its reference.
  void Disconnect();
  // The name the part had when its press was asked for under `ticket`, once.
  std::optional<std::u16string> TakeAction(LPARAM ticket);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: readers call the IAccessible methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;
  // IOleWindow: WindowFromAccessibleObject finds the window through it.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT id, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override;

 private:
  ~AccessibleWindow();
  // The page as it is now and the part `id` names on it (nullopt: the page itself). Fails when
  // the window has gone or `id` names nothing on the page.
  HRESULT Resolve(const VARIANT& id, AccessiblePage* page, std::optional<size_t>* part);
  // The same where only whether `id` names something matters.
  HRESULT Check(const VARIANT& id);
  // The field's own window object, the child a reader takes a field for.
  HRESULT FieldObject(WindowId field, IDispatch** object) const;
  // A part as a reader is handed it: a field as its window object, anything else by child id.
  void ChildResult(const AccessiblePage& page, size_t part, VARIANT* out) const;

  LONG refs_ = 1;
  HWND window_;
  WindowHandler* handler_;
  const FieldWindows* fields_;
  // The system's object for this client area, for the parent and the siblings of the page.
  ScopedCom<IAccessible> standard_;
  PendingActions pending_;
};

}  // namespace platform::win32
