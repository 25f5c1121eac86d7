# The presentation and Texture against the recording fakes (no display).
qorx_add_test(qorx_demo_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/PresentationTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/TextureTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo/TestImages.cpp)
target_link_libraries(qorx_demo_tests PRIVATE qorx_demo qorx_texture qorx_fake_platform JPEG::JPEG TIFF::TIFF)

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
endif()
