// public-headers: builds only where a program outside sees Qorx's public
// headers and nothing more: no reader's helper, no libjpeg or libtiff pulled
// in by them, and none of SDL's flags, which stay inside the Win32 layer.
#include <qorx/image/ReaderChain.h>
#include <qorx/image/Texture.h>
#include <qorx/window/ErrorReporter.h>
#include <qorx/window/GlWindow.h>
#include <qorx/window/Keyboard.h>

#if __has_include(<qorx/image/BlockReader.h>) || __has_include(<BlockReader.h>)
#error "a reader's helper header reached a program outside"
#endif
#if __has_include(<qorx/image/JpegErrorManager.h>) || __has_include(<JpegErrorManager.h>)
#error "the JPEG reader's error manager reached a program outside"
#endif
#if defined(JPEG_LIB_VERSION) || defined(TIFF_VERSION_CLASSIC)
#error "a public header includes libjpeg or libtiff"
#endif
#if __has_include(<SDL.h>) || defined(_REENTRANT)
#error "SDL's compiler flags reached a program outside"
#endif

int main()
{
    return 0;
}
