# The window library against the recording fake, and the check that it is
# still Windows code.
qorx_add_test(qorx_window_test
  ${CMAKE_CURRENT_LIST_DIR}/window/GlWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window/WindowProcTest.cpp
)
target_link_libraries(qorx_window_test PRIVATE qorx_window qorx_fake_platform)

# The compile check does not depend on the build's flags, so the sanitizer
# build leaves it to the normal one.
if(NOT QORX_SANITIZE)
  add_test(NAME qorx_windows_compile COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-windows-compile)
  set_tests_properties(qorx_windows_compile PROPERTIES TIMEOUT 600)
endif()
