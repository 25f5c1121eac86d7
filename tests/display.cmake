# Display tests: the SDL2 layer and the window library in real X servers with
# Mesa's OpenGL. Every program runs under a server of its own: Xvfb (one mode
# only), or Xorg with the dummy video driver where display modes must really
# change (tests/display/with-xorg-dummy).
pkg_check_modules(XPROBE REQUIRED IMPORTED_TARGET x11 xtst xscrnsaver)
add_library(qorx_xprobe STATIC display/XProbe.cpp)
target_link_libraries(qorx_xprobe PUBLIC PkgConfig::XPROBE)

qorx_add_display_test(layer_display_test SCREEN 1024x768x24 SOURCES display/LayerTest.cpp)
target_link_libraries(layer_display_test PRIVATE qorx_win32 qorx_xprobe)
