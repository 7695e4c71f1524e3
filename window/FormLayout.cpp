#include "window/FormLayout.h"

#include "launcher/Handlers.h"
#include "window/ControlIds.h"

namespace tavro {

const std::array<ButtonDefinition, 3> kButtons = {{
    {L"CopyCommand",
     L"デスクトップにショートカットを作成する",
     kCopyCommandDescription,
     kCopyCommandId,
     {75, 810, 3765, 1245},
     IDB_COPY_FACE,
     IDB_COPY_FACE_PRESSED,
     std::nullopt,
     std::nullopt,
     &CopyCommand_Click},
    {L"StartUpCommand",
     L"写真を注文する",
     kStartUpCommandDescription,
     kStartUpCommandId,
     {3840, 810, 3825, 1245},
     IDB_ORDER_FACE,
     IDB_ORDER_FACE_PRESSED,
     IDB_LOGO,
     kPureWhite,
     &StartUpCommand_Click},
    {L"close",
     L"閉じる",
     kCloseDescription,
     kCloseId,
     {5745, 3030, 1935, 675},
     IDB_CLOSE_FACE,
     IDB_CLOSE_FACE_PRESSED,
     std::nullopt,
     std::nullopt,
     &close_Click},
}};

}  // namespace tavro
