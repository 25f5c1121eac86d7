#include "WindowFrame.h"

namespace {

const LONG SizingBorder = 8;
const LONG FixedBorder = 3;
const LONG CaptionHeight = 23;
const LONG MenuHeight = 20;

} // namespace

WindowFrame WindowFrame::of(DWORD style, BOOL menu)
{
    LONG border = 0;
    if (style & WS_THICKFRAME)
        border = SizingBorder;
    else if ((style & WS_CAPTION) != 0)
        border = FixedBorder;
    LONG top = border;
    if ((style & WS_CAPTION) == WS_CAPTION)
        top += CaptionHeight;
    if (menu)
        top += MenuHeight;
    return {border, top, border, border};
}
