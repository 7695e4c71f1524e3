#pragma once

#include <windows.h>

#include <string>

// A window read as a screen reader reads it: Microsoft Active Accessibility's client object of
// the window (AccessibleObjectFromWindow with OBJID_CLIENT), through oleacc in this process, so
// that every answer crosses from the program's process as it would to NVDA or Narrator.
namespace e2e {

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
