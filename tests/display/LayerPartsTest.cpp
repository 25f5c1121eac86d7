// Pieces of the SDL2 layer that need no display: pixel-format numbers,
// virtual-key codes, handles, and the queue's ring and order.
#include "HandleTable.h"
#include "InputTranslator.h"
#include "MessageQueue.h"
#include "PixelFormat.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

PIXELFORMATDESCRIPTOR descriptor(DWORD flags, BYTE colour, BYTE depth)
{
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = flags;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = colour;
    pfd.cDepthBits = depth;
    return pfd;
}

TEST(PixelFormat, NumbersNameTheClosestFormatAndDecodeBack)
{
    const DWORD program = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    int number = PixelFormat::choose(descriptor(program, 16, 16));
    ASSERT_GT(number, 0);
    PixelFormat format;
    ASSERT_TRUE(PixelFormat::decode(number, &format));
    EXPECT_TRUE(format.doubleBuffer);
    EXPECT_EQ(format.colorBits, 16);
    EXPECT_EQ(format.depthBits, 16);
    EXPECT_EQ(format.alphaBits, 0);
    EXPECT_EQ(format.stencilBits, 0);

    ASSERT_TRUE(PixelFormat::decode(PixelFormat::choose(descriptor(program, 32, 32)), &format));
    EXPECT_EQ(format.colorBits, 24);
    EXPECT_EQ(format.depthBits, 24) << "the deepest buffer there is";

    for (int n = 1; n <= PixelFormat::Count; ++n) {
        ASSERT_TRUE(PixelFormat::decode(n, &format));
        EXPECT_EQ(format.number(), n);
    }
    EXPECT_FALSE(PixelFormat::decode(0, &format));
    EXPECT_FALSE(PixelFormat::decode(PixelFormat::Count + 1, &format));

    EXPECT_EQ(PixelFormat::choose(descriptor(PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER, 16, 16)), 0) << "no OpenGL";
    PIXELFORMATDESCRIPTOR indexed = descriptor(program, 8, 16);
    indexed.iPixelType = 1; // PFD_TYPE_COLORINDEX
    EXPECT_EQ(PixelFormat::choose(indexed), 0);
}

SDL_Keysym keysym(SDL_Keycode sym, SDL_Scancode scancode)
{
    SDL_Keysym key;
    std::memset(&key, 0, sizeof key);
    key.sym = sym;
    key.scancode = scancode;
    return key;
}

TEST(VirtualKeys, LayoutDecidesLettersAndPositionDecidesTheRest)
{
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE)), 27);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_a, SDL_SCANCODE_Q)), 'A') << "the key that types 'a' on AZERTY";
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_0, SDL_SCANCODE_0)), '0');
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_F10, SDL_SCANCODE_F10)), VK_F10);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_F24, SDL_SCANCODE_F24)), 0x87);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_KP_0, SDL_SCANCODE_KP_0)), 0x60);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_KP_9, SDL_SCANCODE_KP_9)), 0x69);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT)), VK_SHIFT);
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(0xF1, SDL_SCANCODE_SEMICOLON)), 0xBA) << "a Spanish n-tilde key";
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(0xE9, SDL_SCANCODE_2)), '2') << "a French e-acute key";
    EXPECT_EQ(VirtualKeys::fromSdl(keysym(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN)), 0);
    EXPECT_TRUE(VirtualKeys::isExtended(keysym(SDLK_LEFT, SDL_SCANCODE_LEFT)));
    EXPECT_FALSE(VirtualKeys::isExtended(keysym(SDLK_KP_4, SDL_SCANCODE_KP_4)));

    EXPECT_EQ(VirtualKeys::characterOf('A', 0), 'a');
    EXPECT_EQ(VirtualKeys::characterOf('A', KMOD_LSHIFT), 'A');
    EXPECT_EQ(VirtualKeys::characterOf('A', KMOD_LSHIFT | KMOD_CAPS), 'a');
    EXPECT_EQ(VirtualKeys::characterOf('C', KMOD_RCTRL), 3);
    EXPECT_EQ(VirtualKeys::characterOf(VK_ESCAPE, 0), 27);
    EXPECT_EQ(VirtualKeys::characterOf(VK_F1, 0), 0);
    EXPECT_EQ(VirtualKeys::characterOf('1', KMOD_LSHIFT), 0) << "the layout decides what Shift+1 types";
}

SDL_KeyboardEvent keyEvent(Uint32 type, SDL_Keycode sym, Uint16 modifiers, Uint8 repeat)
{
    SDL_KeyboardEvent key;
    std::memset(&key, 0, sizeof key);
    key.type = type;
    key.repeat = repeat;
    key.keysym = keysym(sym, SDL_SCANCODE_UNKNOWN);
    key.keysym.mod = modifiers;
    return key;
}

// Win32's key messages: Alt makes a system key unless Ctrl is held too
// (AltGr), and a held key's repeats say that it was already down.
TEST(InputTranslator, KeyMessagesCarryWin32sFlags)
{
    MSG msg;
    ASSERT_TRUE(InputTranslator::keyMessage(keyEvent(SDL_KEYDOWN, SDLK_x, KMOD_LALT, 0), NULL, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
    ASSERT_TRUE(InputTranslator::keyMessage(keyEvent(SDL_KEYDOWN, SDLK_x, KMOD_LALT | KMOD_LCTRL, 0), NULL, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(InputTranslator::keyMessage(keyEvent(SDL_KEYDOWN, SDLK_x, 0, 0), NULL, &msg));
    EXPECT_EQ(msg.lParam & (1 << 30), 0) << "a first press";
    ASSERT_TRUE(InputTranslator::keyMessage(keyEvent(SDL_KEYDOWN, SDLK_x, 0, 1), NULL, &msg));
    EXPECT_NE(msg.lParam & (1 << 30), 0) << "a repeat";
    ASSERT_TRUE(InputTranslator::keyMessage(keyEvent(SDL_KEYUP, SDLK_x, 0, 0), NULL, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_NE(msg.lParam & (1 << 30), 0);
    EXPECT_LT(msg.lParam, 0) << "released";
}

MSG message(UINT number, WPARAM wParam)
{
    MSG msg;
    std::memset(&msg, 0, sizeof msg);
    msg.message = number;
    msg.wParam = wParam;
    return msg;
}

// Runs on a thread of its own so that it has a fresh queue.
TEST(MessageQueue, KeepsOrderAcrossTheRingsEndAndRefusesWhenFull)
{
    std::thread([] {
        MessageQueue& queue = *MessageQueue::current();
        MessageFilter all = {NULL, 0, 0};
        MessageFilter keyUps = {NULL, WM_KEYUP, WM_KEYUP};
        MSG msg;
        // Walk the ring's start round past its end, taking from the middle.
        for (WPARAM round = 0; round < 300; ++round) {
            ASSERT_TRUE(queue.post(message(WM_KEYDOWN, round)));
            ASSERT_TRUE(queue.post(message(WM_KEYUP, round)));
            ASSERT_TRUE(queue.post(message(WM_KEYDOWN, round + 1000)));
            ASSERT_TRUE(queue.retrieve(&msg, keyUps, true));
            ASSERT_EQ(msg.wParam, round);
            ASSERT_TRUE(queue.retrieve(&msg, all, true));
            ASSERT_EQ(msg.wParam, round);
            ASSERT_TRUE(queue.retrieve(&msg, all, true));
            ASSERT_EQ(msg.wParam, round + 1000);
        }
        EXPECT_FALSE(queue.retrieve(&msg, all, false));

        for (int i = 0; i < MessageQueue::PostedCapacity; ++i)
            ASSERT_TRUE(queue.post(message(WM_CHAR, static_cast<WPARAM>(i))));
        EXPECT_FALSE(queue.post(message(WM_CHAR, 9999)));
        for (int i = 0; i < MessageQueue::PostedCapacity; ++i) {
            ASSERT_TRUE(queue.retrieve(&msg, all, true));
            ASSERT_EQ(msg.wParam, static_cast<WPARAM>(i));
        }
    }).join();
}

// Win32's order: posted messages, then the quit request, then input; a
// range from 0 is a range, only 0 to 0 takes everything.
TEST(MessageQueue, PostedComeBeforeTheQuitRequestWhichComesBeforeInput)
{
    std::thread([] {
        MessageQueue& queue = *MessageQueue::current();
        const MessageFilter all = {NULL, 0, 0};
        ASSERT_TRUE(queue.postInput(message(WM_KEYDOWN, 1)));
        queue.postQuit(7);
        ASSERT_TRUE(queue.post(message(WM_CHAR, 2)));
        MSG msg;
        ASSERT_TRUE(queue.retrieve(&msg, all, true));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
        ASSERT_TRUE(queue.retrieve(&msg, all, true));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(msg.wParam, 7u);
        ASSERT_TRUE(queue.retrieve(&msg, all, true));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));

        const MessageFilter upToKeyDown = {NULL, 0, WM_KEYDOWN};
        EXPECT_TRUE(upToKeyDown.accepts(message(WM_KEYDOWN, 0)));
        EXPECT_TRUE(upToKeyDown.accepts(message(WM_CREATE, 0)));
        EXPECT_FALSE(upToKeyDown.accepts(message(WM_KEYUP, 0)));
        const MessageFilter keyUpOnly = {NULL, WM_KEYUP, WM_KEYUP};
        EXPECT_FALSE(keyUpOnly.accepts(message(WM_KEYDOWN, 0)));
    }).join();
}

struct Slot {
    int value;
};

// A handle names one use of a slot: once the slot is reused, the old handle
// finds nothing.
TEST(HandleTable, ARemovedHandleStaysDeadWhenItsSlotIsReused)
{
    HandleTable<Slot, 4> table;
    const int first = table.add();
    ASSERT_EQ(first, 0);
    const uintptr_t old = table.handleOf(first);
    EXPECT_EQ(table.find(old), &table.records[0]);
    table.remove(first);
    EXPECT_EQ(table.find(old), nullptr);
    ASSERT_EQ(table.add(), 0) << "the slot is reused";
    EXPECT_NE(table.handleOf(0), old);
    EXPECT_EQ(table.find(old), nullptr);
    EXPECT_EQ(table.indexOf(table.handleOf(0)), 0);
    EXPECT_EQ(table.indexOf(0), -1);
}

} // namespace
