// The message functions of the Win32 subset: each thread's queue, dispatching
// to window procedures, and what the default window procedure does.
#include "InputTranslator.h"
#include "LayerState.h"
#include "MessageQueue.h"
#include "VirtualKeys.h"
#include "WindowRegistry.h"

#include <SDL.h>

#include <windows.h>

#include <time.h>

namespace {

const int VkF4 = 0x73;
const LPARAM AltHeldFlag = static_cast<LPARAM>(1) << 29;
// The low four bits of a system command are Windows' own.
const WPARAM SystemCommandMask = 0xFFF0;

// How long an empty GetMessageA sleeps at a time: briefly, so that messages
// posted from other threads are seen too.
const int VideoThreadWaitMs = 10;
const long OtherThreadWaitNs = 2000000;

bool retrieveMessage(MSG* msg, const MessageFilter& filter, bool remove)
{
    MessageQueue* queue = MessageQueue::current();
    if (queue == nullptr)
        return false;
    InputTranslator::requestCloses(*queue);
    if (queue->retrieve(msg, filter, remove))
        return true;
    InputTranslator::pump(*queue);
    return queue->retrieve(msg, filter, remove);
}

// Nothing waiting: let SDL sleep until its next event.
void waitForMessages()
{
    if (Layer::isVideoThread()) {
        SDL_WaitEventTimeout(nullptr, VideoThreadWaitMs);
        return;
    }
    timespec pause = {0, OtherThreadWaitNs};
    nanosleep(&pause, nullptr);
}

bool isValidFilterWindow(HWND window)
{
    return window == NULL || WindowRegistry::window(window) != nullptr;
}

WNDPROC procedureOf(HWND window)
{
    WindowRecord* record = WindowRegistry::window(window);
    return record == nullptr ? nullptr : record->procedure;
}

} // namespace

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage)
{
    if (msg == nullptr || !isValidFilterWindow(window))
        return FALSE;
    MessageFilter filter = {window, filterMin, filterMax};
    return retrieveMessage(msg, filter, (removeMessage & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (msg == nullptr || !isValidFilterWindow(window))
        return -1;
    MessageFilter filter = {window, filterMin, filterMax};
    while (!retrieveMessage(msg, filter, true))
        waitForMessages();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    if (msg == nullptr)
        return FALSE;
    bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool keyUp = msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
    if (!keyDown && !keyUp)
        return FALSE;
    int character = keyDown ? VirtualKeys::characterOf(static_cast<int>(msg->wParam), SDL_GetModState()) : 0;
    if (character != 0) {
        UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        PostMessageA(msg->hwnd, charMessage, static_cast<WPARAM>(character), msg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (msg == nullptr || msg->hwnd == NULL)
        return 0;
    WNDPROC procedure = procedureOf(msg->hwnd);
    if (procedure == nullptr)
        return 0;
    return procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = procedureOf(window);
    if (procedure == nullptr)
        return 0;
    return procedure(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = MessageQueue::message(window, message, wParam, lParam);
    if (window == NULL) {
        MessageQueue* queue = MessageQueue::current();
        return queue != nullptr && queue->post(msg) ? TRUE : FALSE;
    }
    MessageQueue* owner = nullptr;
    {
        std::lock_guard<std::mutex> guard(Layer::state().lock);
        WindowRecord* record = WindowRegistry::window(window);
        if (record != nullptr)
            owner = record->ownerQueue;
    }
    if (owner == nullptr)
        return FALSE;
    return owner->post(msg) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    MessageQueue* queue = MessageQueue::current();
    if (queue != nullptr)
        queue->postQuit(exitCode);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & SystemCommandMask) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == static_cast<WPARAM>(VkF4) && (lParam & AltHeldFlag) != 0)
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    default:
        return 0;
    }
}

} // extern "C"
