#include "window/AccessibleWindows.h"

#include <utility>

#include "window/OleaccCalls.h"

namespace tavro {

namespace {

constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

}  // namespace

std::optional<LRESULT> AccessibleWindows::Answer(HWND window,
                                                 const PictureSentence& sentence,
                                                 WPARAM wParam,
                                                 LPARAM lParam) {
    // The object id is a 32-bit value; a 64-bit lParam may carry it sign-extended or not.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !link_->windowAlive) {
        return std::nullopt;
    }
    const OleaccCalls* const calls = OleaccCalls::Get();
    if (calls == nullptr) {
        return std::nullopt;
    }
    if (!com_) {
        com_.emplace();
    }
    Microsoft::WRL::ComPtr<IAccessible> standard;
    if (FAILED(calls->createStdAccessibleObject(window, OBJID_CLIENT, kIAccessible,
                                                reinterpret_cast<void**>(standard.GetAddressOf())))) {
        return std::nullopt;
    }
    Microsoft::WRL::ComPtr<IAccessible> described;
    if (FAILED(AccessibleDescription::Create(std::move(standard), sentence.Joined(), link_, calls->sysAllocString,
                                             described.GetAddressOf()))) {
        return std::nullopt;
    }
    // LresultFromObject takes references of its own for the client; ours goes with `described`.
    return calls->lresultFromObject(kIAccessible, wParam, described.Get());
}

bool AccessibleWindows::DescribeButton(HWND button, const PictureSentence& sentence) {
    auto subclass = std::make_unique<Subclass>(Subclass{this, &sentence, nullptr});
    // The button class leaves its user data to the application.
    SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(subclass.get()));
    subclass->original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleWindows::ButtonProc)));
    if (subclass->original == nullptr) {
        SetWindowLongPtrW(button, GWLP_USERDATA, 0);
        return false;
    }
    subclasses_.push_back(std::move(subclass));
    return true;
}

void AccessibleWindows::WindowsDestroyed() {
    link_->windowAlive = false;
}

LRESULT CALLBACK AccessibleWindows::ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* subclass = reinterpret_cast<const Subclass*>(GetWindowLongPtrW(button, GWLP_USERDATA));
    const WNDPROC original = subclass->original;
    if (message == WM_GETOBJECT) {
        if (const std::optional<LRESULT> answer =
                subclass->owner->Answer(button, *subclass->sentence, wParam, lParam)) {
            return *answer;
        }
    } else if (message == WM_NCDESTROY) {
        // The button's last message: it leaves as the system made it.
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(button, GWLP_USERDATA, 0);
    }
    return CallWindowProcW(original, button, message, wParam, lParam);
}

}  // namespace tavro
