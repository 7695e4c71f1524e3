#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

namespace tavro {

struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr bool kHasInvalidValue = true;
    // Not constexpr: INVALID_HANDLE_VALUE is a cast from -1.
    static Handle InvalidValue() noexcept { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) noexcept { CloseHandle(handle); }
};

// A kernel handle (file, process, ...); INVALID_HANDLE_VALUE counts as none.
using UniqueHandle = UniqueResource<KernelHandleTraits>;

}  // namespace tavro
