#ifndef QORX_TESTS_DISPLAY_XPROBE_H
#define QORX_TESTS_DISPLAY_XPROBE_H

#include <cstdint>
#include <string>

// The tests' own connection to the X server the program runs on: it looks at
// windows and pixels the way any other client sees them, and sends input and
// close requests the way the desktop would.
class XProbe {
public:
    struct Box {
        int x;
        int y;
        int width;
        int height;
    };
    struct Colour {
        int red;
        int green;
        int blue;
    };

    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool connected() const { return display != nullptr; }

    // The window with this title, waiting up to twenty seconds for it to
    // appear (or not at all); 0 if it never does.
    unsigned long findWindow(const std::string& title, bool wait = true);
    // A window of the process with this id (_NET_WM_PID), now; 0 if none.
    unsigned long findWindowOf(int processId);
    bool isMapped(unsigned long window);
    // The window's position on the screen and size, as the server has them.
    Box geometry(unsigned long window);
    Box screen();
    int depth();
    // One pixel of the screen as it is shown.
    Colour pixel(int x, int y);
    // One pixel of a window's own contents, where the screen is not the X
    // server's to show (XWayland draws no root window).
    Colour windowPixel(unsigned long window, int x, int y);
    // Brightness (0 to 255) of the screen as shown: the mean over a grid of
    // pixels, and their spread (standard deviation: a picture, not a flat
    // colour). Negative when the screen cannot be read.
    struct Brightness {
        double mean;
        double spread;
    };
    Brightness brightness();
    // Whether the pixel shows this colour (give or take 8 per channel)
    // within two seconds: the program's drawing reaches the server on its
    // own connection, so it may land a moment after the program's swap.
    bool shows(int x, int y, int red, int green, int blue);

    // Whether the pointer shows where it is (any pixel of the cursor's
    // image not transparent).
    bool cursorShown();

    // Key presses and releases through XTest, as from a keyboard.
    void key(const char* keysymName, bool press);
    void tap(const char* keysymName);
    void movePointer(int x, int y);
    // Without a window manager nobody gives a new window the keyboard.
    void focus(unsigned long window);
    unsigned long focusedWindow();
    // What a window manager sends when the user closes a window.
    void requestClose(unsigned long window);
    // Seconds of idleness before the server's screen saver starts; 0 for never.
    void setScreenSaverTimeout(int seconds);
    bool screenSaverActive();
    // How long the server has seen no input.
    unsigned long idleMilliseconds();

private:
    void sync();

    struct _XDisplay* display;
};

#endif
