#pragma once
// The dialog templates of the element pages, the point pick-up dialog and
// the style pages of the shape sheets, and the pictures they show: the fill
// modes, the figure styles and the sheets' icons. The pages register them
// when the first page is made; a program may call it earlier.

#include "platform/ui/res_id.h"

void RegisterElementPageTemplates();

// The template id, once the templates are registered: a page's title is read
// from its template as soon as it joins an open sheet.
inline TResId RegisteredPageTemplate(TResId id)
{
    RegisterElementPageTemplates();
    return id;
}

// Picture resources.
inline constexpr int kFramePictureRaised = 11308;
inline constexpr int kFramePictureRecessed = 11309;
inline constexpr int kCirclePictureUnfilled = 11310;
inline constexpr int kCirclePictureFilled = 11311;
inline constexpr int kRectanglePictureUnfilled = 11312;
inline constexpr int kRectanglePictureFilled = 11313;
inline constexpr int kFillModePicture0 = 21546;  // to 21551
// Sheet icons.
inline constexpr int kLinesSheetIcon = 11338;
inline constexpr int kRectangleSheetIcon = 11339;
inline constexpr int kFrameSheetIcon = 11346;
inline constexpr int kCircleSheetIcon = 11347;
