#include "window/AccessibleDescription.h"

#include <new>
#include <utility>

namespace tavro {

namespace {

// Spelled out rather than taken from oleacc's import library, which gives IID_IAccessible as an
// import thunk under mingw-w64.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A failed call still leaves its out parameters defined: COM's stubs read them back to the
// client whatever the result.
void Clear(BSTR* out) {
    *out = nullptr;
}
void Clear(VARIANT* out) {
    out->vt = VT_EMPTY;
}
void Clear(IDispatch** out) {
    *out = nullptr;
}
void Clear(long* out) {
    *out = 0;
}

template <typename... Out>
HRESULT Disconnected(Out*... outs) {
    (((outs != nullptr) ? Clear(outs) : void()), ...);
    return RPC_E_DISCONNECTED;
}

}  // namespace

HRESULT AccessibleDescription::Create(Microsoft::WRL::ComPtr<IAccessible> standard,
                                      std::wstring description,
                                      std::shared_ptr<const AccessibleWindowLink> link,
                                      AllocStringFn allocString,
                                      IAccessible** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (!standard || !link || allocString == nullptr) {
        return E_INVALIDARG;
    }
    // COM callers expect a failure when memory runs out, and the program has no exceptions.
    *out = new (std::nothrow)
        AccessibleDescription(std::move(standard), std::move(description), std::move(link), allocString);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

AccessibleDescription::AccessibleDescription(Microsoft::WRL::ComPtr<IAccessible> standard,
                                             std::wstring&& description,
                                             std::shared_ptr<const AccessibleWindowLink> link,
                                             AllocStringFn allocString) noexcept
    : standard_(std::move(standard)),
      description_(std::move(description)),
      link_(std::move(link)),
      allocString_(allocString) {}

IAccessible* AccessibleDescription::Standard() {
    if (!link_->windowAlive) {
        standard_.Reset();
    }
    return standard_.Get();
}

template <typename Call, typename... Out>
HRESULT AccessibleDescription::Pass(Call call, Out*... outs) {
    IAccessible* const standard = Standard();
    return standard == nullptr ? Disconnected(outs...) : call(*standard);
}

HRESULT AccessibleDescription::Describe(BSTR* description) const {
    *description = allocString_(description_.c_str());
    return *description != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleDescription::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    // The standard object's own enumerator of children (AccessibleChildren asks for it) and its
    // window (WindowFromAccessibleObject) come from it as they are: they read no description.
    // Nothing else passes, so COM never marshals this object as the standard one (IMarshal) and
    // no client reaches the standard object's description behind this one's back.
    if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow) {
        IAccessible* const standard = Standard();
        return standard == nullptr ? RPC_E_DISCONNECTED : standard->QueryInterface(iid, object);
    }
    return E_NOINTERFACE;
}

ULONG AccessibleDescription::AddRef() {
    return ++references_;
}

ULONG AccessibleDescription::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT AccessibleDescription::GetTypeInfoCount(UINT* count) {
    IAccessible* const standard = Standard();
    return standard == nullptr ? RPC_E_DISCONNECTED : standard->GetTypeInfoCount(count);
}

HRESULT AccessibleDescription::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    IAccessible* const standard = Standard();
    if (standard == nullptr) {
        if (info != nullptr) {
            *info = nullptr;
        }
        return RPC_E_DISCONNECTED;
    }
    return standard->GetTypeInfo(index, locale, info);
}

HRESULT AccessibleDescription::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    IAccessible* const standard = Standard();
    return standard == nullptr ? RPC_E_DISCONNECTED : standard->GetIDsOfNames(iid, names, count, locale, ids);
}

HRESULT AccessibleDescription::Invoke(DISPID id,
                                      REFIID iid,
                                      LCID locale,
                                      WORD flags,
                                      DISPPARAMS* parameters,
                                      VARIANT* result,
                                      EXCEPINFO* exception,
                                      UINT* argumentError) {
    IAccessible* const standard = Standard();
    if (standard == nullptr) {
        return Disconnected(result);
    }
    // A script's accDescription of this object itself gets the same words as get_accDescription;
    // every other dispatch call is the standard object's.
    const bool aboutSelf =
        parameters == nullptr || parameters->cArgs == 0 || (parameters->cArgs == 1 && IsSelf(parameters->rgvarg[0]));
    if (id == DISPID_ACC_DESCRIPTION && (flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr && aboutSelf) {
        result->vt = VT_BSTR;
        const HRESULT described = Describe(&result->bstrVal);
        if (FAILED(described)) {
            result->vt = VT_EMPTY;
        }
        return described;
    }
    return standard->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}

HRESULT AccessibleDescription::get_accDescription(VARIANT child, BSTR* description) {
    if (description == nullptr) {
        return E_POINTER;
    }
    IAccessible* const standard = Standard();
    if (standard == nullptr) {
        return Disconnected(description);
    }
    return IsSelf(child) ? Describe(description) : standard->get_accDescription(child, description);
}

HRESULT AccessibleDescription::get_accParent(IDispatch** parent) {
    return Pass([&](IAccessible& standard) { return standard.get_accParent(parent); }, parent);
}

HRESULT AccessibleDescription::get_accChildCount(long* count) {
    return Pass([&](IAccessible& standard) { return standard.get_accChildCount(count); }, count);
}

HRESULT AccessibleDescription::get_accChild(VARIANT child, IDispatch** object) {
    return Pass([&](IAccessible& standard) { return standard.get_accChild(child, object); }, object);
}

HRESULT AccessibleDescription::get_accName(VARIANT child, BSTR* name) {
    return Pass([&](IAccessible& standard) { return standard.get_accName(child, name); }, name);
}

HRESULT AccessibleDescription::get_accValue(VARIANT child, BSTR* value) {
    return Pass([&](IAccessible& standard) { return standard.get_accValue(child, value); }, value);
}

HRESULT AccessibleDescription::get_accRole(VARIANT child, VARIANT* role) {
    return Pass([&](IAccessible& standard) { return standard.get_accRole(child, role); }, role);
}

HRESULT AccessibleDescription::get_accState(VARIANT child, VARIANT* state) {
    return Pass([&](IAccessible& standard) { return standard.get_accState(child, state); }, state);
}

HRESULT AccessibleDescription::get_accHelp(VARIANT child, BSTR* help) {
    return Pass([&](IAccessible& standard) { return standard.get_accHelp(child, help); }, help);
}

HRESULT AccessibleDescription::get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic) {
    return Pass([&](IAccessible& standard) { return standard.get_accHelpTopic(helpFile, child, topic); }, helpFile,
                topic);
}

HRESULT AccessibleDescription::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Pass([&](IAccessible& standard) { return standard.get_accKeyboardShortcut(child, shortcut); }, shortcut);
}

HRESULT AccessibleDescription::get_accFocus(VARIANT* focus) {
    return Pass([&](IAccessible& standard) { return standard.get_accFocus(focus); }, focus);
}

HRESULT AccessibleDescription::get_accSelection(VARIANT* selection) {
    return Pass([&](IAccessible& standard) { return standard.get_accSelection(selection); }, selection);
}

HRESULT AccessibleDescription::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Pass([&](IAccessible& standard) { return standard.get_accDefaultAction(child, action); }, action);
}

HRESULT AccessibleDescription::accSelect(long flags, VARIANT child) {
    return Pass([&](IAccessible& standard) { return standard.accSelect(flags, child); });
}

HRESULT AccessibleDescription::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    return Pass([&](IAccessible& standard) { return standard.accLocation(left, top, width, height, child); }, left, top,
                width, height);
}

HRESULT AccessibleDescription::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return Pass([&](IAccessible& standard) { return standard.accNavigate(direction, start, end); }, end);
}

HRESULT AccessibleDescription::accHitTest(long left, long top, VARIANT* child) {
    return Pass([&](IAccessible& standard) { return standard.accHitTest(left, top, child); }, child);
}

HRESULT AccessibleDescription::accDoDefaultAction(VARIANT child) {
    return Pass([&](IAccessible& standard) { return standard.accDoDefaultAction(child); });
}

HRESULT AccessibleDescription::put_accName(VARIANT child, BSTR name) {
    return Pass([&](IAccessible& standard) { return standard.put_accName(child, name); });
}

HRESULT AccessibleDescription::put_accValue(VARIANT child, BSTR value) {
    return Pass([&](IAccessible& standard) { return standard.put_accValue(child, value); });
}

}  // namespace tavro
