// window-program FILE: opens a hidden 800x600 OpenGL window, makes a texture
// of FILE, draws one frame with it and prints "drew WIDTHxHEIGHT".
#include <qorx/image/Texture.h>
#include <qorx/window/GlWindow.h>

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    GlWindow window;
    window.setHidden();
    if (window.registerClass() != 0 || window.open(800, 600, 32, "window-program") != 0) {
        std::fprintf(stderr, "window-program: no OpenGL window\n");
        return 1;
    }
    Texture texture;
    if (!texture.load(commandLine)) {
        std::fprintf(stderr, "window-program: cannot load %s\n", commandLine);
        window.shutdown();
        return 1;
    }
    window.clear();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(800, 0);
    glTexCoord2f(1, 1);
    glVertex2f(800, 600);
    glTexCoord2f(0, 1);
    glVertex2f(0, 600);
    glEnd();
    window.present();
    std::printf("drew %dx%d\n", window.width, window.height);
    window.shutdown();
    return 0;
}
