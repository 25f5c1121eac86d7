# The window library against the recording fake, and the check that it is
# still Windows code.
qorx_add_test(qorx_window_test
  ${CMAKE_CURRENT_LIST_DIR}/window/GlWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window/WindowProcTest.cpp
)
target_link_libraries(qorx_window_test PRIVATE qorx_window qorx_fake_platform)
