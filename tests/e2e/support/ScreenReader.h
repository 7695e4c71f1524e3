#pragma once

#include <windows.h>

#include <string>

// A window read as a screen reader reads it: Microsoft Active Accessibility's client object of
// the window (AccessibleObjectFromWindow with OBJID_CLIENT), through oleacc in this process, so
// that every answer crosses from the program's process as it would to NVDA or Narrator.
namespace e2e {

// Spelled out: mingw-w64's liboleacc.a gives IID_IAccessible as an import thunk, not the GUID,
// and oleacc then answers E_NOINTERFACE.
inline constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A BSTR an accessible object hands out, freed with the owner.
class Bstr {
  public:
    Bstr() = default;
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* out() { return &text_; }
    BSTR raw() const { return text_; }
    std::wstring get() const { return text_ == nullptr ? std::wstring() : std::wstring(text_, SysStringLen(text_)); }

  private:
    BSTR text_ = nullptr;
};

struct AccessibleFacts {
    std::string error;  // empty when every property below was read
    std::wstring name;
    std::wstring description;
    long role = 0;
    long state = 0;
    RECT location{};  // on the screen
};

// What the client object of window says of itself (CHILDID_SELF).
AccessibleFacts ReadClientObject(HWND window);

std::string ToString(const AccessibleFacts& facts);

}  // namespace e2e
