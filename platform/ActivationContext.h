#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

namespace tavro {

// An activation context, released once. Move-only. CreateActCtxW fails with INVALID_HANDLE_VALUE.
using UniqueActivationContext = UniqueResource<InvalidIsNone<ReleaseActCtx>>;

// The activation context described by a manifest resource of module; empty when there is none.
UniqueActivationContext ActivationContextFromResource(HMODULE module, int resourceId);

// Makes a context the active one on this thread for the scope's lifetime. An empty context
// activates nothing, and what is created meanwhile gets whatever was active before.
class ActivationScope {
  public:
    explicit ActivationScope(HANDLE context) noexcept;  // borrowed: must outlive the scope
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

  private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace tavro
