#pragma once

#include <objbase.h>

namespace tavro {

// The window thread's COM apartment: the shell may hand a URL to a handler it reaches through COM.
class ComApartment {
  public:
    ComApartment()
        : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialized_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_;
};

}  // namespace tavro
