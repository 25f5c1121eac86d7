#ifndef QORX_PLATFORM_SDL_MESSAGEQUEUE_H
#define QORX_PLATFORM_SDL_MESSAGEQUEUE_H

#include <windows.h>

#include <mutex>

// Which messages a retrieval accepts: a window (null for any) and a range of
// message numbers (0 to 0 for all).
struct MessageFilter {
    HWND window;
    UINT first;
    UINT last;

    bool accepts(const MSG& msg) const;
};

// One thread's message queue. Messages come out in Win32's order: posted
// messages first, then the quit request, then input (keys, close requests),
// which the layer takes from SDL only when nothing else is waiting.
class MessageQueue {
public:
    static const int PostedCapacity = 256;
    static const int InputCapacity = 32;

    // The calling thread's queue; null only when more threads than the
    // layer has room for ask for one.
    static MessageQueue* current();

    // A message stamped, as Win32 stamps them, with the time and the cursor.
    static MSG message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Any thread may post; the queue refuses when full, as Win32's does.
    bool post(const MSG& msg);
    void postQuit(int exitCode);
    bool postInput(const MSG& msg);
    bool hasInput();

    // Looks for a message in Win32's order and copies it; removes it if asked.
    bool retrieve(MSG* msg, const MessageFilter& filter, bool remove);

    // Empties the queue, for a thread that ends.
    void clear();

private:
    template <int Capacity>
    struct Ring {
        MSG slots[Capacity];
        int head;
        int count;

        bool push(const MSG& msg);
        bool take(MSG* msg, const MessageFilter& filter, bool remove);
    };

    bool retrieveQuit(MSG* msg, bool remove);

    std::mutex lock;
    Ring<PostedCapacity> posted = {{}, 0, 0};
    Ring<InputCapacity> input = {{}, 0, 0};
    bool quitPosted = false;
    int quitCode = 0;
};

#endif
