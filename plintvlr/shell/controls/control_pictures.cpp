#include "plintvlr/shell/controls/control_pictures.h"

#include "platform/base/embedded_file.h"
#include "platform/ui/resources.h"

#include <span>

std::span<const EmbeddedFile> ControlPictureFiles();

void RegisterControlPictures()
{
    const auto files = ControlPictureFiles();
    if (const EmbeddedFile* nobmp = FindEmbeddedFile(files, "nobmp.bmp"))
        RegisterBitmapResource(kNoBitmapPicture, nobmp->data, nobmp->size);
    if (const EmbeddedFile* bselect = FindEmbeddedFile(files, "bselect.png"))
        RegisterCursorResource(kBitmapSelectCursor, bselect->data, bselect->size, 0, 0);
}
