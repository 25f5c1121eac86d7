#include "PageState.h"

#include "PageCalls.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

namespace {

const int MessageShift = 8;
const int KeyMask = 0xFF;

PageState page;

void stopAtExit()
{
    PageState::stop();
}

} // namespace

PageState& PageState::current()
{
    return page;
}

void PageState::start()
{
    std::memset(&page, 0, sizeof page);
    page.cursorCount = 0;
    qorx_page_start();
    std::atexit(stopAtExit);
}

void PageState::stop()
{
    if (page.cursorCount < 0)
        qorx_page_show_cursor(1);
    qorx_page_leave_fullscreen();
    page.window = NULL;
    page.classRegistered = false;
}

bool PageState::post(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (count == QueueLength)
        return false;
    MSG& msg = queue[(head + count) % QueueLength];
    std::memset(&msg, 0, sizeof msg);
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    ++count;
    return true;
}

bool PageState::take(MSG& msg)
{
    pullPageKeys();
    if (count == 0) {
        if (!quitPosted)
            return false;
        std::memset(&msg, 0, sizeof msg);
        msg.message = WM_QUIT;
        msg.wParam = static_cast<WPARAM>(quitCode);
        return true;
    }
    msg = queue[head];
    head = (head + 1) % QueueLength;
    --count;
    return true;
}

void PageState::pullPageKeys()
{
    for (int key = qorx_page_take_key(); key != 0; key = qorx_page_take_key()) {
        if (window == NULL)
            continue;
        post(window, static_cast<UINT>(key >> MessageShift), static_cast<WPARAM>(key & KeyMask), 1);
    }
}

// The picture as large as it fits, centred; OpenGL counts rows from the
// bottom, which for a centred box is the same offset.
void PageState::refitViewport()
{
    if (!contextMade || pictureWidth <= 0 || pictureHeight <= 0)
        return;
    const int width = qorx_page_canvas_width();
    const int height = qorx_page_canvas_height();
    const long long widthIfFullHeight = static_cast<long long>(pictureWidth) * height / pictureHeight;
    if (widthIfFullHeight <= width) {
        glViewport((width - static_cast<int>(widthIfFullHeight)) / 2, 0, static_cast<int>(widthIfFullHeight), height);
        return;
    }
    const int fitted = static_cast<int>(static_cast<long long>(pictureHeight) * width / pictureWidth);
    glViewport(0, (height - fitted) / 2, width, fitted);
}
