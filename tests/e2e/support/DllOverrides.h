#pragma once

#include <string>
#include <vector>

namespace e2e {

// Makes Wine look for the named DLLs as Windows would (a copy found first, e.g. in the
// program's folder, wins over Wine's own) in processes of one executable name only, for the
// lifetime of the object. Wine reads WINEDLLOVERRIDES from the Unix environment it was started
// with, so a per-child environment block cannot do this; the per-application key can.
class NativeFirstFor {
  public:
    NativeFirstFor(const std::wstring& exeFileName, const std::vector<std::wstring>& dllNames);
    NativeFirstFor(const NativeFirstFor&) = delete;
    NativeFirstFor& operator=(const NativeFirstFor&) = delete;
    ~NativeFirstFor();

    bool Applied() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

  private:
    std::wstring appKey_;
    std::string error_;
};

}  // namespace e2e
