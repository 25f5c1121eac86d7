#include "MessageQueue.h"

#include "LayerState.h"

#include <SDL.h>

bool MessageFilter::accepts(const MSG& msg) const
{
    if (window != NULL && msg.hwnd != window)
        return false;
    if (first == 0 && last == 0)
        return true;
    return msg.message >= first && msg.message <= last;
}

MessageQueue* MessageQueue::current()
{
    ThreadRecord* thread = Layer::currentThread();
    return thread == nullptr ? nullptr : &thread->queue;
}

MSG MessageQueue::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    msg.pt.x = x;
    msg.pt.y = y;
    return msg;
}

template <int Capacity>
bool MessageQueue::Ring<Capacity>::push(const MSG& msg)
{
    if (count == Capacity)
        return false;
    slots[(head + count) % Capacity] = msg;
    ++count;
    return true;
}

template <int Capacity>
bool MessageQueue::Ring<Capacity>::take(MSG* msg, const MessageFilter& filter, bool remove)
{
    for (int i = 0; i < count; ++i) {
        const MSG& candidate = slots[(head + i) % Capacity];
        if (!filter.accepts(candidate))
            continue;
        *msg = candidate;
        if (remove) {
            for (int j = i; j > 0; --j)
                slots[(head + j) % Capacity] = slots[(head + j - 1) % Capacity];
            head = (head + 1) % Capacity;
            --count;
        }
        return true;
    }
    return false;
}

bool MessageQueue::post(const MSG& msg)
{
    std::lock_guard<std::mutex> guard(lock);
    return posted.push(msg);
}

void MessageQueue::postQuit(int exitCode)
{
    std::lock_guard<std::mutex> guard(lock);
    quitPosted = true;
    quitCode = exitCode;
}

bool MessageQueue::postInput(const MSG& msg)
{
    std::lock_guard<std::mutex> guard(lock);
    return input.push(msg);
}

bool MessageQueue::hasInput()
{
    std::lock_guard<std::mutex> guard(lock);
    return input.count > 0;
}

bool MessageQueue::retrieveQuit(MSG* msg, bool remove)
{
    if (!quitPosted)
        return false;
    msg->hwnd = NULL;
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(static_cast<intptr_t>(quitCode));
    msg->lParam = 0;
    msg->time = SDL_GetTicks();
    msg->pt.x = 0;
    msg->pt.y = 0;
    if (remove)
        quitPosted = false;
    return true;
}

bool MessageQueue::retrieve(MSG* msg, const MessageFilter& filter, bool remove)
{
    std::lock_guard<std::mutex> guard(lock);
    // The quit request comes whatever the filter says, but only once the
    // posted messages that it passes are gone.
    return posted.take(msg, filter, remove) || retrieveQuit(msg, remove) || input.take(msg, filter, remove);
}

void MessageQueue::clear()
{
    std::lock_guard<std::mutex> guard(lock);
    posted.head = 0;
    posted.count = 0;
    input.head = 0;
    input.count = 0;
    quitPosted = false;
    quitCode = 0;
}
