#include "InputTranslator.h"

#include "LayerState.h"
#include "MessageQueue.h"
#include "Signals.h"
#include "VirtualKeys.h"
#include "WindowRegistry.h"
#include "XDisplay.h"

#include <SDL.h>

namespace {

const WPARAM ActiveWindow = 1;   // WA_ACTIVE
const WPARAM InactiveWindow = 0; // WA_INACTIVE
const WPARAM SizeRestored = 0;   // SIZE_RESTORED

// Win32's key-message lParam bits.
const uint32_t RepeatCountOne = 1;
const uint32_t ExtendedKeyFlag = 1u << 24;
const uint32_t AltHeldFlag = 1u << 29;
const uint32_t PreviouslyDownFlag = 1u << 30;
const uint32_t ReleasedFlag = 1u << 31;

// Win32's key-message lParam: repeat count, extended-key flag, Alt held,
// previous key state and transition state (the scan code is left 0).
LPARAM keyFlags(const SDL_KeyboardEvent& key)
{
    bool released = key.type == SDL_KEYUP;
    uint32_t flags = RepeatCountOne;
    if (VirtualKeys::isExtended(key.keysym))
        flags |= ExtendedKeyFlag;
    if ((key.keysym.mod & KMOD_ALT) != 0)
        flags |= AltHeldFlag;
    if (released || key.repeat != 0)
        flags |= PreviouslyDownFlag;
    if (released)
        flags |= ReleasedFlag;
    return static_cast<LPARAM>(static_cast<int32_t>(flags));
}

bool isSystemKey(const SDL_KeyboardEvent& key, int virtualKey)
{
    if ((key.keysym.mod & KMOD_CTRL) != 0)
        return false;
    return virtualKey == VK_F10 || virtualKey == VK_MENU || (key.keysym.mod & KMOD_ALT) != 0;
}

LPARAM sizeParameter(int width, int height)
{
    return static_cast<LPARAM>((static_cast<uint32_t>(height & 0xFFFF) << 16) | static_cast<uint32_t>(width & 0xFFFF));
}

// SDL takes the keyboard focus only when X's FocusIn reaches it, a moment
// after the window was shown and focused; keys typed meanwhile name no
// window. Windows queues them for the focus window from SetFocus on.
HWND keyWindow(const SDL_KeyboardEvent& key)
{
    HWND window = WindowRegistry::handleOf(WindowRegistry::windowOfSdl(key.windowID));
    if (window != NULL)
        return window;
    ThreadRecord* thread = Layer::currentThread();
    return thread == nullptr ? NULL : thread->focus;
}

} // namespace

// The translator's own steps.
namespace InputTranslator {
void translate(const SDL_Event& event, MessageQueue& queue);
void translateWindowEvent(const SDL_WindowEvent& event, MessageQueue& queue);
void requestClose(HWND window, MessageQueue& queue);
} // namespace InputTranslator

bool InputTranslator::keyMessage(const SDL_KeyboardEvent& key, HWND window, MSG* msg)
{
    int virtualKey = VirtualKeys::fromSdl(key.keysym);
    if (virtualKey == 0)
        return false;
    bool released = key.type == SDL_KEYUP;
    UINT message;
    if (isSystemKey(key, virtualKey))
        message = released ? WM_SYSKEYUP : WM_SYSKEYDOWN;
    else
        message = released ? WM_KEYUP : WM_KEYDOWN;
    *msg = MessageQueue::message(window, message, static_cast<WPARAM>(virtualKey), keyFlags(key));
    return true;
}

void InputTranslator::pump(MessageQueue& queue)
{
    if (!Layer::isVideoThread())
        return;
    SDL_Event event;
    while (!queue.hasInput() && SDL_PollEvent(&event))
        translate(event, queue);
}

void InputTranslator::requestClose(HWND window, MessageQueue& queue)
{
    // The path of a Windows close: the system command first, which the
    // default window procedure turns into WM_CLOSE.
    queue.postInput(MessageQueue::message(window, WM_SYSCOMMAND, SC_CLOSE, 0));
}

void InputTranslator::requestCloses(MessageQueue& queue)
{
    if (!Layer::isVideoThread())
        return;
    HandleTable<WindowRecord, WindowCapacity>& windows = Layer::state().windows;
    bool hasWindows = false;
    for (int index = 0; index < WindowCapacity; ++index) {
        WindowRecord& record = windows.records[index];
        if (!windows.isUsed(index) || record.ownerQueue != &queue)
            continue;
        hasWindows = true;
        if (!record.lost && XDisplay::failedOn(record.xWindow)) {
            record.lost = true;
            requestClose(WindowRegistry::handleOf(&record), queue);
        }
    }
    if (Signals::take(hasWindows) == 0)
        return;
    for (int index = 0; index < WindowCapacity; ++index) {
        if (windows.isUsed(index) && windows.records[index].ownerQueue == &queue)
            requestClose(WindowRegistry::handleOf(&windows.records[index]), queue);
    }
}

void InputTranslator::translate(const SDL_Event& event, MessageQueue& queue)
{
    const unsigned long destroyed = XDisplay::destroyedBy(event);
    if (destroyed != 0) {
        HandleTable<WindowRecord, WindowCapacity>& windows = Layer::state().windows;
        for (int index = 0; index < WindowCapacity; ++index) {
            WindowRecord& record = windows.records[index];
            if (windows.isUsed(index) && record.xWindow == destroyed && !record.lost) {
                record.lost = true;
                requestClose(WindowRegistry::handleOf(&record), queue);
            }
        }
        return;
    }
    if (event.type == SDL_WINDOWEVENT) {
        translateWindowEvent(event.window, queue);
        return;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
        return;
    MSG msg;
    HWND window = keyWindow(event.key);
    if (window != NULL && keyMessage(event.key, window, &msg))
        queue.postInput(msg);
}

void InputTranslator::translateWindowEvent(const SDL_WindowEvent& event, MessageQueue& queue)
{
    WindowRecord* record = WindowRegistry::windowOfSdl(event.windowID);
    HWND window = WindowRegistry::handleOf(record);
    if (window == NULL)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        requestClose(window, queue);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        SendMessageA(window, WM_SIZE, SizeRestored, sizeParameter(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        SendMessageA(window, WM_ACTIVATE, ActiveWindow, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        SendMessageA(window, WM_ACTIVATE, InactiveWindow, 0);
        break;
    default:
        break;
    }
}
