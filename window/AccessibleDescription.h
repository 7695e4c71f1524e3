#pragma once

#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <memory>
#include <string>

namespace tavro {

// Whether the windows a set of accessible objects speak for still exist. Shared by the objects
// and the window that hands them out, which marks it when it is destroyed.
struct AccessibleWindowLink {
    bool windowAlive = true;
};

// A window's standard accessible object (CreateStdAccessibleObject) with a description of ours:
// it answers get_accDescription for itself and passes every other call to the standard object
// unchanged, so name, role, state, location, focus and default action stay the system's own.
// Once the window is gone, every call fails with RPC_E_DISCONNECTED: a client may keep the object
// as long as it likes and never reaches a window that is no longer there.
class AccessibleDescription final : public IAccessible {
  public:
    using AllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

    // A new object with one reference, which *out receives. allocString (oleaut32's
    // SysAllocString) makes the strings the caller frees with SysFreeString; its module must
    // outlive the object.
    static HRESULT Create(Microsoft::WRL::ComPtr<IAccessible> standard,
                          std::wstring description,
                          std::shared_ptr<const AccessibleWindowLink> link,
                          AllocStringFn allocString,
                          IAccessible** out);

    AccessibleDescription(const AccessibleDescription&) = delete;
    AccessibleDescription& operator=(const AccessibleDescription&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id,
                                     REFIID iid,
                                     LCID locale,
                                     WORD flags,
                                     DISPPARAMS* parameters,
                                     VARIANT* result,
                                     EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  private:
    AccessibleDescription(Microsoft::WRL::ComPtr<IAccessible> standard,
                          std::wstring&& description,
                          std::shared_ptr<const AccessibleWindowLink> link,
                          AllocStringFn allocString) noexcept;
    ~AccessibleDescription() = default;

    // The standard object while the window lives; null (and let go of) once it is gone.
    IAccessible* Standard();
    HRESULT Describe(BSTR* description) const;
    // Hands a call on to the standard object, or fails it as disconnected with its out
    // parameters cleared once the window is gone.
    template <typename Call, typename... Out>
    HRESULT Pass(Call call, Out*... outs);

    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<IAccessible> standard_;
    std::wstring description_;
    std::shared_ptr<const AccessibleWindowLink> link_;
    AllocStringFn allocString_;
};

}  // namespace tavro
