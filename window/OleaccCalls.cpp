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
    LoadedOleacc()
        // oleaut32 first: oleacc imports it, and the loader then finds the system copy already
        // loaded instead of looking for one.
        : oleaut32_(LoadSystemLibrary(L"oleaut32.dll")), oleacc_(LoadSystemLibrary(L"oleacc.dll")) {
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
    UniqueModule oleaut32_;
    UniqueModule oleacc_;
    OleaccCalls calls_;
};

}  // namespace

const OleaccCalls* OleaccCalls::Get() {
    static const LoadedOleacc loaded;
    return loaded.Calls();
}

}  // namespace tavro
