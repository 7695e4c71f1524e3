#include "launcher/GateUrl.h"

#ifndef TAVRO_SITE_HOST
#error "TAVRO_SITE_HOST must name the ordering site's host (set by the build)"
#endif

#define TAVRO_WIDEN_(text) L##text
#define TAVRO_WIDEN(text) TAVRO_WIDEN_(text)

namespace tavro {

std::wstring GateUrl() {
    // The second "?" inside the ul value is what the site expects; it is not a typo.
    return std::wstring(L"http://") + TAVRO_WIDEN(TAVRO_SITE_HOST) + L"/tavrosite/gate?bn=varnoquill0&ul=mhp?mi=";
}

std::wstring LaunchUrl(std::wstring_view fileNumber) {
    std::wstring url = GateUrl();
    url.append(fileNumber);
    return url;
}

}  // namespace tavro
