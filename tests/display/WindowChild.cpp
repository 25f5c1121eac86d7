// The library's window in a program of its own, for tests that watch how a
// process ends. "close-request": a window that presents frames until
// something ends the process (exit code 3 if nothing does within ten
// seconds). "exit-fullscreen": a full-screen window, then exit(5) with the
// window still open.
#include "qorx/window/GlWindow.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    bool fullscreen = argc > 1 && std::strcmp(argv[1], "exit-fullscreen") == 0;
    GlWindow window;
    if (window.registerClass() != 0)
        return 2;
    if (fullscreen)
        window.setFullscreen();
    if (window.open(fullscreen ? 800 : 320, fullscreen ? 600 : 240, 16, "qorx child") != 0)
        return 2;
    if (fullscreen) {
        window.clear();
        window.present();
        std::exit(5);
    }
    for (int frame = 0; frame < 600; ++frame) {
        window.clear();
        window.present();
    }
    return 3;
}
