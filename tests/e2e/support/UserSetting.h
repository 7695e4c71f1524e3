#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A setting under HKCU that a process reads when it starts, changed for the lifetime of the
// object and put back afterwards (one prefix may serve several cases when run by hand).
class ScopedUserSetting {
  public:
    ScopedUserSetting(const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data, DWORD bytes);
    ScopedUserSetting(const ScopedUserSetting&) = delete;
    ScopedUserSetting& operator=(const ScopedUserSetting&) = delete;
    ~ScopedUserSetting();

    bool Applied() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

  private:
    std::wstring subKey_;
    std::wstring name_;
    bool hadValue_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> oldData_;
    std::string error_;
};

// The screen dpi (HKCU\Control Panel\Desktop LogPixels).
class ScopedLogPixels : public ScopedUserSetting {
  public:
    explicit ScopedLogPixels(DWORD dpi);
};

// One system colour as "R G B" (HKCU\Control Panel\Colors), e.g. ButtonHilight.
class ScopedSystemColour : public ScopedUserSetting {
  public:
    ScopedSystemColour(const wchar_t* name, const std::wstring& rgb);
};

}  // namespace e2e
