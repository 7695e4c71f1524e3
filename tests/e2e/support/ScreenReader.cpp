#include "support/ScreenReader.h"

#include <oleacc.h>
#include <wrl/client.h>

#include "platform/ComApartment.h"
#include "support/Text.h"

namespace e2e {

namespace {

std::string Failed(const char* what, HRESULT result) {
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
    return std::string(what) + " failed with " + code;
}

}  // namespace

AccessibleFacts ReadClientObject(HWND window) {
    AccessibleFacts facts;
    const tavro::ComApartment apartment;
    Microsoft::WRL::ComPtr<IAccessible> object;
    HRESULT result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                                reinterpret_cast<void**>(object.GetAddressOf()));
    if (FAILED(result) || !object) {
        facts.error = Failed("AccessibleObjectFromWindow", result);
        return facts;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    Bstr name;
    Bstr description;
    VARIANT role{};
    VARIANT state{};
    long left = 0, top = 0, width = 0, height = 0;
    if (FAILED(result = object->get_accName(self, name.out()))) {
        facts.error = Failed("get_accName", result);
    } else if (FAILED(result = object->get_accDescription(self, description.out()))) {
        facts.error = Failed("get_accDescription", result);
    } else if (FAILED(result = object->get_accRole(self, &role)) || role.vt != VT_I4) {
        facts.error = Failed("get_accRole (or it gave no number)", result);
    } else if (FAILED(result = object->get_accState(self, &state)) || state.vt != VT_I4) {
        facts.error = Failed("get_accState (or it gave no number)", result);
    } else if (FAILED(result = object->accLocation(&left, &top, &width, &height, self))) {
        facts.error = Failed("accLocation", result);
    }
    facts.name = name.get();
    facts.description = description.get();
    facts.role = role.vt == VT_I4 ? role.lVal : 0;
    facts.state = state.vt == VT_I4 ? state.lVal : 0;
    facts.location = RECT{left, top, left + width, top + height};
    VariantClear(&role);
    VariantClear(&state);
    return facts;
}

std::string ToString(const AccessibleFacts& facts) {
    char numbers[160];
    wsprintfA(numbers, "role %ld, state 0x%lX, location (%ld, %ld) %ld x %ld", facts.role,
              static_cast<unsigned long>(facts.state), facts.location.left, facts.location.top,
              facts.location.right - facts.location.left, facts.location.bottom - facts.location.top);
    return "name \"" + Utf8(facts.name) + "\", description \"" + Utf8(facts.description) + "\", " + numbers +
           (facts.error.empty() ? "" : " (" + facts.error + ")");
}

}  // namespace e2e
