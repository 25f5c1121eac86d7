# Display tests: the SDL2 layer and the window library in real X servers with
# Mesa's OpenGL. Every program runs under a server of its own: Xvfb (one mode
# only), or Xorg with the dummy video driver where display modes must really
# change (tests/support/with-x-server).
pkg_check_modules(XPROBE REQUIRED IMPORTED_TARGET x11 xtst xscrnsaver xfixes)
add_library(qorx_xprobe STATIC display/XProbe.cpp)
target_link_libraries(qorx_xprobe PUBLIC PkgConfig::XPROBE)

qorx_add_display_test(layer_display_test SCREEN 1024x768x24 SOURCES display/LayerTest.cpp)
target_link_libraries(layer_display_test PRIVATE qorx_win32 qorx_xprobe PkgConfig::SDL2)
# Mesa's GLX on Xvfb sets no swap interval; its EGL does, so the swap
# interval case runs again with SDL on EGL. A driver that sets none there
# either makes the case skip. Mesa's EGL leaves allocations behind in the
# driver it unloads, where no suppression can name them; the run on GLX
# checks the layer's own for leaks.
add_test(NAME layer_swap_interval_egl_display_test
         COMMAND ${QORX_WITH_X_SERVER} xvfb 1024x768x24 $<TARGET_FILE:layer_display_test>
                 --gtest_filter=LayerTest.TheSwapInterval*)
set_tests_properties(layer_swap_interval_egl_display_test PROPERTIES
                     ENVIRONMENT "SDL_VIDEO_X11_FORCE_EGL=1;ASAN_OPTIONS=detect_leaks=0"
                     TIMEOUT 600 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

add_library(qorx_display_drawing STATIC display/GlDrawing.cpp)
target_include_directories(qorx_display_drawing PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(qorx_display_drawing PUBLIC OpenGL::GL)

add_executable(qorx_window_child display/WindowChild.cpp)
target_link_libraries(qorx_window_child PRIVATE qorx_window qorx_win32)

set(display_test_libraries qorx_window qorx_win32 qorx_xprobe qorx_display_drawing qorx_test_support)

qorx_add_display_test(glwindow_display_test SCREEN 1024x768x24 SOURCES display/GlWindowTest.cpp)
target_link_libraries(glwindow_display_test PRIVATE ${display_test_libraries})
target_compile_definitions(glwindow_display_test PRIVATE QORX_WINDOW_CHILD="$<TARGET_FILE:qorx_window_child>")
add_dependencies(glwindow_display_test qorx_window_child)

qorx_add_display_test(scaled_screen_display_test SCREEN 1280x720x24 SOURCES display/ScaledScreenTest.cpp)
target_link_libraries(scaled_screen_display_test PRIVATE ${display_test_libraries})
# The same picture on screens that leave one spare column, fit it to the
# pixel, are taller than 4:3, or leave an odd number of spare rows.
foreach(screen 1025x768 1025x769 1280x1024 1280x1025)
  add_test(NAME scaled_screen_${screen}_display_test
           COMMAND ${QORX_WITH_X_SERVER} xvfb ${screen}x24 $<TARGET_FILE:scaled_screen_display_test>)
  set_tests_properties(scaled_screen_${screen}_display_test PROPERTIES TIMEOUT 600)
endforeach()

# Real mode changes need a server with several modes: Xorg's dummy driver.
add_executable(fullscreen_mode_display_test display/FullscreenModeTest.cpp)
target_link_libraries(fullscreen_mode_display_test PRIVATE GTest::gtest GTest::gtest_main ${display_test_libraries})
target_include_directories(fullscreen_mode_display_test PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(fullscreen_mode_display_test PRIVATE QORX_WINDOW_CHILD="$<TARGET_FILE:qorx_window_child>")
add_dependencies(fullscreen_mode_display_test qorx_window_child)
add_test(NAME fullscreen_mode_display_test COMMAND ${QORX_WITH_X_SERVER} xorg-dummy $<TARGET_FILE:fullscreen_mode_display_test>)
set_tests_properties(fullscreen_mode_display_test PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)

# The layer's display-free pieces, through its internal headers.
qorx_add_test(layer_parts_test display/LayerPartsTest.cpp)
target_link_libraries(layer_parts_test PRIVATE qorx_win32 PkgConfig::SDL2)
target_include_directories(layer_parts_test PRIVATE ${PROJECT_SOURCE_DIR}/platform/win32/sdl)
