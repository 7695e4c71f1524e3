#include "window/OleaccCalls.h"

#include "platform/SystemLibrary.h"

namespace tavro {

namespace {

template <typename Function>
Function Lookup(const UniqueModule& module, const char* name) {
    if (!module) {
        return nullptr;
    }
    // GetProcAddress gives every export as one function type; the cast through a plain function
    // pointer type says that it is meant.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module.get(), name)));
}

class LoadedOleacc {
  public:
    void LoadOnce() {
        if (tried_) {
            return;
        }
        tried_ = true;
        // oleaut32 first: oleacc imports it, and the loader then finds the system copy already
        // loaded instead of looking for one.
        oleaut32_ = LoadSystemLibrary(L"oleaut32.dll");
        oleacc_ = LoadSystemLibrary(L"oleacc.dll");
        calls_.sysAllocString = Lookup<OleaccCalls::SysAllocStringFn>(oleaut32_, "SysAllocString");
        calls_.createStdAccessibleObject =
            Lookup<OleaccCalls::CreateStdAccessibleObjectFn>(oleacc_, "CreateStdAccessibleObject");
        calls_.lresultFromObject = Lookup<OleaccCalls::LresultFromObjectFn>(oleacc_, "LresultFromObject");
    }

    const OleaccCalls* Calls() const {
        const bool complete = calls_.sysAllocString != nullptr && calls_.createStdAccessibleObject != nullptr &&
                              calls_.lresultFromObject != nullptr;
        return complete ? &calls_ : nullptr;
    }

  private:
    bool tried_ = false;
    UniqueModule oleaut32_;
    UniqueModule oleacc_;
    OleaccCalls calls_;
};

// Only the window thread asks (WM_GETOBJECT reaches a window on its own thread), so a plain flag
// will do: a function's static would take the C++ runtime's thread-safe guard, which the program
// does without (cmake/Lean.cmake). Made before WinMain, it loads nothing until asked.
LoadedOleacc loadedOleacc;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

}  // namespace

const OleaccCalls* OleaccCalls::Get() {
    loadedOleacc.LoadOnce();
    return loadedOleacc.Calls();
}

}  // namespace tavro
