#include "platform/ActivationContext.h"

namespace tavro {

UniqueActivationContext ActivationContextFromResource(HMODULE module, int resourceId) {
    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.hModule = module;
    description.lpResourceName = MAKEINTRESOURCEW(resourceId);
    return UniqueActivationContext(CreateActCtxW(&description));
}

ActivationScope::ActivationScope(HANDLE context) noexcept {
    if (context != nullptr) {
        active_ = ActivateActCtx(context, &cookie_) != FALSE;
    }
}

ActivationScope::~ActivationScope() {
    if (active_) {
        DeactivateActCtx(0, cookie_);
    }
}

}  // namespace tavro
