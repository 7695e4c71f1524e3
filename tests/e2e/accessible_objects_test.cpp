// The described accessible objects inside one process, where a test can hold one past its
// window's end, as a client that keeps it would: cheaper than the program, and the only place a
// lifetime fault would crash the caller rather than a process the driver does not see.
#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/ComApartment.h"
#include "support/ScreenReader.h"
#include "support/Text.h"
#include "window/AccessibleWindows.h"
#include "window/Descriptions.h"

namespace {

using e2e::Bstr;
using e2e::kIAccessible;
using e2e::Utf8;
using Microsoft::WRL::ComPtr;

struct DestroyWindowOnExit {
    HWND window;
    ~DestroyWindowOnExit() {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
};

VARIANT Self() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

TEST(AccessibleObjects, DescribedButtonDelegatesAndFailsOnceItsWindowIsGone) {
    const tavro::ComApartment apartment;
    const HWND parent = CreateWindowExW(0, L"Static", L"parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    const DestroyWindowOnExit parentGoes{parent};
    const HWND button = CreateWindowExW(0, L"Button", L"写真を注文する", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 20,
                                        120, 40, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);

    auto windows = std::make_unique<tavro::AccessibleWindows>();
    ASSERT_TRUE(windows->DescribeButton(button, tavro::kStartUpCommandDescription));
    ComPtr<IAccessible> kept;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(button, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                                        reinterpret_cast<void**>(kept.GetAddressOf())));
    ASSERT_TRUE(kept);

    // Ours: the description, by IAccessible and by IDispatch alike.
    Bstr description;
    ASSERT_HRESULT_SUCCEEDED(kept->get_accDescription(Self(), description.out()));
    EXPECT_EQ(Utf8(description.get()), Utf8(tavro::kStartUpCommandDescription.Joined()));
    DISPPARAMS none{};
    VARIANT byDispatch{};
    ASSERT_HRESULT_SUCCEEDED(kept->Invoke(DISPID_ACC_DESCRIPTION, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                          &none, &byDispatch, nullptr, nullptr));
    ASSERT_EQ(byDispatch.vt, VT_BSTR);
    EXPECT_EQ(Utf8(byDispatch.bstrVal), Utf8(tavro::kStartUpCommandDescription.Joined()));
    VariantClear(&byDispatch);

    // The standard object's: the name from the window text, and the place on the screen.
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(kept->get_accName(Self(), name.out()));
    EXPECT_EQ(Utf8(name.get()), "写真を注文する");
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_HRESULT_SUCCEEDED(kept->accLocation(&left, &top, &width, &height, Self()));
    RECT onScreen{};
    GetWindowRect(button, &onScreen);
    EXPECT_EQ(left, onScreen.left);
    EXPECT_EQ(top, onScreen.top);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 40);
    // The same object each time it is asked for as IAccessible.
    ComPtr<IAccessible> again;
    ASSERT_HRESULT_SUCCEEDED(kept.As(&again));
    EXPECT_EQ(again.Get(), kept.Get());

    // The window goes, as the form's do: first marked, then destroyed, and its owner after it.
    windows->WindowsDestroyed();
    DestroyWindow(parent);
    windows.reset();
    ASSERT_FALSE(IsWindow(button));

    Bstr afterName;
    EXPECT_EQ(kept->get_accName(Self(), afterName.out()), RPC_E_DISCONNECTED);
    EXPECT_EQ(afterName.raw(), nullptr);
    Bstr afterDescription;
    EXPECT_EQ(kept->get_accDescription(Self(), afterDescription.out()), RPC_E_DISCONNECTED);
    EXPECT_EQ(afterDescription.raw(), nullptr);
    left = top = width = height = -1;
    EXPECT_EQ(kept->accLocation(&left, &top, &width, &height, Self()), RPC_E_DISCONNECTED);
    EXPECT_EQ(left | top | width | height, 0);
    VARIANT state{};
    state.vt = VT_I4;
    EXPECT_EQ(kept->get_accState(Self(), &state), RPC_E_DISCONNECTED);
    EXPECT_EQ(state.vt, VT_EMPTY);
    EXPECT_EQ(kept->accDoDefaultAction(Self()), RPC_E_DISCONNECTED);
    // Both out parameters of a call that has two are cleared; neither is freed, so a stand-in
    // that no allocator made does for the string.
    wchar_t notAllocated[] = L"?";
    BSTR helpFile = notAllocated;
    long topic = -1;
    EXPECT_EQ(kept->get_accHelpTopic(&helpFile, Self(), &topic), RPC_E_DISCONNECTED);
    EXPECT_EQ(helpFile, nullptr);
    EXPECT_EQ(topic, 0);
    // The last reference goes after everything it pointed to: no crash here is the check.
    again.Reset();
    kept.Reset();
}

}  // namespace
