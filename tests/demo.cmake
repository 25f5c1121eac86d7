# The presentation and Texture against the recording fakes (no display).
qorx_add_test(qorx_demo_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/OptionsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/PresentationTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/TextureTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/TestImages.cpp)
target_link_libraries(qorx_demo_tests PRIVATE qorx_demo qorx_recording qorx_texture qorx_fake_platform qorx_fsound_decode qorx_test_support)

# The real program with the bundled files, on a private X server of the
# program's own screen size, where its full-screen window is exactly 800 x 600.
if(TARGET qorx-demo)
  qorx_add_display_test(qorx_demo_display_tests SCREEN 800x600x24 SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/demo/DemoOnScreenTest.cpp)
  target_link_libraries(qorx_demo_display_tests PRIVATE qorx_test_support)
  target_compile_definitions(qorx_demo_display_tests PRIVATE
    QORX_DEMO_PROGRAM="$<TARGET_FILE:qorx-demo>"
    QORX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets")
  add_dependencies(qorx_demo_display_tests qorx-demo)

  # The program under faults. One program, run as several tests, each under
  # a server of its own: signals on Xorg's dummy driver, whose mode really
  # changes; a server the test kills; a hundred launches on a busy machine,
  # on an Xvfb that resets between clients as a user's does; keys typed at
  # start-up, also on a busy machine; weston's XWayland.
  add_executable(qorx_demo_fault_tests ${CMAKE_CURRENT_SOURCE_DIR}/demo/DemoFaultTest.cpp
                                       ${CMAKE_CURRENT_SOURCE_DIR}/demo/TestImages.cpp)
  target_link_libraries(qorx_demo_fault_tests PRIVATE GTest::gtest GTest::gtest_main qorx_test_support qorx_xprobe
                                                      JPEG::JPEG TIFF::TIFF)
  target_include_directories(qorx_demo_fault_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR}/demo)
  target_compile_definitions(qorx_demo_fault_tests PRIVATE
    QORX_DEMO_PROGRAM="$<TARGET_FILE:qorx-demo>"
    QORX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets"
    QORX_README="${PROJECT_SOURCE_DIR}/README.md")
  add_dependencies(qorx_demo_fault_tests qorx-demo)
  set(fault_test $<TARGET_FILE:qorx_demo_fault_tests>)
  add_test(NAME qorx_demo_signal_tests COMMAND ${QORX_WITH_X_SERVER} xorg-dummy ${fault_test} --gtest_filter=EveryPhase/DemoSignals.*)
  add_test(NAME qorx_demo_message_tests
           COMMAND ${QORX_WITH_X_SERVER} xvfb 800x600x24 ${fault_test} --gtest_filter=DemoMessages.*:DemoLostWindow.*)
  add_test(NAME qorx_demo_lost_server_test COMMAND ${QORX_WITH_X_SERVER} xvfb 800x600x24 ${fault_test} --gtest_filter=DemoLostServer.*)
  add_test(NAME qorx_demo_launch_test
           COMMAND ${QORX_WITH_X_SERVER} xvfb-resetting 800x600x24 ${fault_test} --gtest_filter=DemoLaunches.*)
  add_test(NAME qorx_demo_start_up_input_test
           COMMAND ${QORX_WITH_X_SERVER} xvfb 800x600x24 ${fault_test} --gtest_filter=DemoStartUpInput.*)
  add_test(NAME qorx_demo_xwayland_test
           COMMAND ${QORX_WITH_X_SERVER} weston-xwayland 1280x720 ${fault_test} --gtest_filter=DemoOnXWayland.*)
  set_tests_properties(qorx_demo_signal_tests qorx_demo_message_tests qorx_demo_lost_server_test qorx_demo_launch_test
                       qorx_demo_start_up_input_test qorx_demo_xwayland_test
                       PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
  # They load the machine on purpose: no other test runs beside them, so that
  # the timed promises of the others (a second for a signal) are not put to
  # a load of their making.
  set_tests_properties(qorx_demo_launch_test qorx_demo_start_up_input_test PROPERTIES RUN_SERIAL TRUE)
endif()

# The real program recording itself, its frames read back with libpng and
# compared with the bundled pictures as our JPEG reader decodes them.
if(TARGET qorx-demo)
  qorx_add_display_test(qorx_demo_recording_tests SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/demo/RecordingTest.cpp)
  target_link_libraries(qorx_demo_recording_tests PRIVATE qorx_image qorx_test_support PkgConfig::PNG)
  target_compile_definitions(qorx_demo_recording_tests PRIVATE
    QORX_DEMO_PROGRAM="$<TARGET_FILE:qorx-demo>"
    QORX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets")
  add_dependencies(qorx_demo_recording_tests qorx-demo)
endif()
