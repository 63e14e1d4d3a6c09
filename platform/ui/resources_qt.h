#pragma once
// Qt forms of the registered pictures (internal to the layer).

#include "platform/ui/resources.h"

#include <QCursor>
#include <QIcon>
#include <QImage>

QImage BitmapResourceImage(TResId id);
QIcon IconResource(TResId id);  // standard icons from the style
QCursor CursorForResource(TResId id);
