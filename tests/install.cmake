# Qorx as a user gets it: installed into a scratch prefix and used from
# outside (tests/install), and `make run` building the presentation alone.
# Sanitizer builds leave them out: a program outside would need their runtime
# too, and the build plan is the same in both.
if(NOT QORX_SANITIZE)
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE QORX_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
  add_test(NAME qorx_install_test
           COMMAND ${QORX_WITH_X_SERVER} xvfb 1024x768x24 ${CMAKE_CURRENT_SOURCE_DIR}/install/run-install-test
                   ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_CXX_COMPILER})
  add_test(NAME qorx_make_run_builds_the_demo_alone
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/check-run-build ${PROJECT_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR}/make-run-check)
  set_tests_properties(qorx_install_test qorx_make_run_builds_the_demo_alone PROPERTIES TIMEOUT 600)
  # The package of make deb, installed on this machine and purged again; it
  # takes dpkg's lock and changes /usr, so it runs alone.
  add_test(NAME qorx_deb_test
           COMMAND ${QORX_WITH_X_SERVER} xvfb 1024x768x24 ${CMAKE_CURRENT_SOURCE_DIR}/install/run-deb-test
                   ${PROJECT_SOURCE_DIR} ${CMAKE_CXX_COMPILER} ${PROJECT_SOURCE_DIR}/dist/qorx_${PROJECT_VERSION}_${QORX_DEB_ARCH}.deb)
  set_tests_properties(qorx_deb_test PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endif()
