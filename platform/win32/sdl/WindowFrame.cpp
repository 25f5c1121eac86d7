#include "WindowFrame.h"

namespace {

const LONG sizingBorder = 8;
const LONG fixedBorder = 3;
const LONG captionHeight = 23;
const LONG menuHeight = 20;

} // namespace

WindowFrame WindowFrame::of(DWORD style, BOOL menu)
{
    LONG border = 0;
    if (style & WS_THICKFRAME)
        border = sizingBorder;
    else if ((style & WS_CAPTION) != 0)
        border = fixedBorder;
    LONG top = border;
    if ((style & WS_CAPTION) == WS_CAPTION)
        top += captionHeight;
    if (menu)
        top += menuHeight;
    return {border, top, border, border};
}
