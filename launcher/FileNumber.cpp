#include "launcher/FileNumber.h"

#include "launcher/CopyMarkers.h"

#include <algorithm>
#include <iterator>

#include "platform/AsciiDigit.h"

namespace tavro {

std::wstring FileNumberFromProgramName(std::wstring_view programName) {
    // A second download or an Explorer copy must not add its copy number to the customer's number.
    programName = WithoutCopyMarkers(programName);
    const std::size_t underscore = programName.find(L'_');
    const std::wstring_view tail =
        underscore == std::wstring_view::npos ? programName : programName.substr(underscore + 1);

    std::wstring number;
    // Only U+0030..U+0039: full-width and other Unicode digits never count.
    std::copy_if(tail.begin(), tail.end(), std::back_inserter(number), IsAsciiDigit);
    return number;
}

}  // namespace tavro
