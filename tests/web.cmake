# The page `make web` builds, in a headless chromium driven by our own
# DevTools client (tests/support/Chromium.mjs), served on 127.0.0.1. Only
# with QORX_WEB_DIST naming the built folder (the Makefile's test target
# sets it); the page is built by its own toolchain, outside this build.
set(QORX_WEB_DIST "" CACHE PATH "The built web page (dist/qorx-web) for the browser tests")
if(NOT QORX_WEB_DIST)
  return()
endif()
find_program(QORX_NODE NAMES node nodejs REQUIRED)
find_program(QORX_CHROMIUM chromium REQUIRED)
set(web_tests ${CMAKE_CURRENT_SOURCE_DIR}/web)

add_test(NAME qorx_web_run_tests COMMAND ${QORX_NODE} ${web_tests}/RunTest.mjs ${QORX_WEB_DIST})
add_test(NAME qorx_web_missing_file_tests COMMAND ${QORX_NODE} ${web_tests}/MissingFilesTest.mjs ${QORX_WEB_DIST})
add_test(NAME qorx_web_start_tests COMMAND ${QORX_NODE} ${web_tests}/StartTest.mjs ${QORX_WEB_DIST})
set_tests_properties(qorx_web_run_tests qorx_web_missing_file_tests qorx_web_start_tests PROPERTIES TIMEOUT 300)
# It times the page's scene 2 in real time: nothing else runs beside it.
set_tests_properties(qorx_web_run_tests PROPERTIES RUN_SERIAL TRUE)

# Beside the desktop's own recording, made under a private X server.
if(TARGET qorx-demo)
  add_test(NAME qorx_web_picture_tests
           COMMAND ${QORX_WITH_X_SERVER} xvfb 800x600x24 ${QORX_NODE} ${web_tests}/PictureTest.mjs ${QORX_WEB_DIST}
                   $<TARGET_FILE:qorx-demo> ${PROJECT_SOURCE_DIR}/assets)
  set_tests_properties(qorx_web_picture_tests PROPERTIES TIMEOUT 300)
endif()
