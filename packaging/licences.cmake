# Licences in the installed tree: Qorx's own, and those of the libraries the
# installed programs load, gathered from their Debian packages whenever the
# programs are linked anew (scripts/gather-licences). A copy of the tree taken
# to another system keeps them, with the full texts Debian's files only name.
set(QORX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/qorx)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${QORX_DOC_DIR})
if(NOT WIN32)
  set(licences ${CMAKE_CURRENT_BINARY_DIR}/licences)
  add_custom_command(OUTPUT ${licences}.stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${licences}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/gather-licences ${licences} $<TARGET_FILE:qorx-demo> $<TARGET_FILE:qorx-image>
    COMMAND ${CMAKE_COMMAND} -E touch ${licences}.stamp
    DEPENDS qorx-demo qorx-image ${PROJECT_SOURCE_DIR}/scripts/gather-licences
    COMMENT "Gathering the licences of the libraries qorx-demo and qorx-image load")
  add_custom_target(qorx_licences ALL DEPENDS ${licences}.stamp)
  install(DIRECTORY ${licences}/ DESTINATION ${QORX_DOC_DIR}/licences)
endif()
