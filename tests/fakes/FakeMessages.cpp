// The thread's message queue, the window procedures' calls and the default
// window procedure of the fake system.
#include "FakeState.h"

#include <cstdio>
#include <cstdlib>

using namespace fake;
using namespace fake::detail;

namespace fake {
namespace detail {

LRESULT sendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Window* record = findWindow(window);
    if (record == nullptr)
        return 0;
    return record->proc(window, message, wParam, lParam);
}

} // namespace detail
} // namespace fake

namespace {

std::vector<std::string> messageArgs(const MSG* msg)
{
    return {handle(msg->hwnd), hex(msg->message), hex(msg->wParam), hex(static_cast<uintptr_t>(msg->lParam))};
}

bool matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window != NULL && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Takes (or, without `remove`, copies) the first message that matches; WM_QUIT
// comes out only once no posted message is left that matches.
bool nextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    State& s = state();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (!matches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (remove)
            s.queue.erase(it);
        return true;
    }
    const bool quitWanted = (filterMin == 0 && filterMax == 0) || (filterMin <= WM_QUIT && WM_QUIT <= filterMax);
    if (!s.quitPending || !quitWanted)
        return false;
    *msg = MSG();
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(s.quitCode);
    if (remove)
        s.quitPending = false;
    return true;
}

void enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = MSG();
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    state().queue.push_back(msg);
}

// The character, if any, that an unshifted key-down gives.
int characterOf(WPARAM key)
{
    if (key >= 'A' && key <= 'Z')
        return static_cast<int>(key - 'A' + 'a');
    if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_BACK || key == VK_TAB || key == VK_RETURN ||
        key == VK_ESCAPE)
        return static_cast<int>(key);
    return -1;
}

bool alphanumeric(WPARAM key)
{
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

HWND keyTarget()
{
    return state().focus != NULL ? state().focus : state().newest;
}

} // namespace

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage)
{
    if (record("PeekMessageA", {handle(window), integer(filterMin), integer(filterMax), hex(removeMessage)}))
        return FALSE;
    return nextMessage(msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (record("GetMessageA", {handle(window), integer(filterMin), integer(filterMax)}))
        return -1;
    if (!nextMessage(msg, window, filterMin, filterMax, true)) {
        std::fprintf(stderr, "fake: GetMessageA on an empty queue would wait forever\n");
        std::abort();
    }
    return msg->message == WM_QUIT ? 0 : 1;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    if (record("TranslateMessage", messageArgs(msg)))
        return FALSE;
    if (msg->message == WM_KEYDOWN && characterOf(msg->wParam) >= 0)
        enqueue(msg->hwnd, WM_CHAR, static_cast<WPARAM>(characterOf(msg->wParam)), msg->lParam);
    if (msg->message == WM_SYSKEYDOWN && alphanumeric(msg->wParam))
        enqueue(msg->hwnd, WM_SYSCHAR, static_cast<WPARAM>(characterOf(msg->wParam)), msg->lParam);
    return msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_SYSKEYDOWN ||
           msg->message == WM_SYSKEYUP;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (record("DispatchMessageA", messageArgs(msg)))
        return 0;
    return sendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (record("DefWindowProcA", {handle(window), hex(message), hex(wParam), hex(static_cast<uintptr_t>(lParam))}))
        return 0;
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        sendToWindow(window, WM_CLOSE, 0, 0);
    else if (message == WM_CLOSE)
        destroyWindow(window);
    return 0;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (record("SendMessageA", {handle(window), hex(message), hex(wParam), hex(static_cast<uintptr_t>(lParam))}))
        return 0;
    return sendToWindow(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (record("PostMessageA", {handle(window), hex(message), hex(wParam), hex(static_cast<uintptr_t>(lParam))}))
        return FALSE;
    if (window != NULL && findWindow(window) == nullptr)
        return FALSE;
    enqueue(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    if (record("PostQuitMessage", {integer(exitCode)}))
        return;
    state().quitPending = true;
    state().quitCode = exitCode;
}

namespace fake {

void pressKey(WPARAM virtualKey)
{
    enqueue(keyTarget(), WM_KEYDOWN, virtualKey, 1);
}

void releaseKey(WPARAM virtualKey)
{
    enqueue(keyTarget(), WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void requestClose()
{
    enqueue(keyTarget(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace fake
