# Qorx as a user gets it: installed into a scratch prefix and used from
# outside (tests/install). Sanitizer builds leave it out: a program outside
# would need their runtime too.
if(NOT QORX_SANITIZE)
  add_test(NAME qorx_install_test
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb 1024x768x24 ${CMAKE_CURRENT_SOURCE_DIR}/install/run-install-test
                   ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_CXX_COMPILER})
  set_tests_properties(qorx_install_test PROPERTIES TIMEOUT 600)
endif()
