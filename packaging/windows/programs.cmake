# The Windows programs' resources (icon and version information), and a
# linker map of each, from which scripts/package-windows learns which
# libraries went into the program and so whose licences the zip must carry.
set(QORX_ICON ${PROJECT_SOURCE_DIR}/assets/icons/qorx-demo.ico)
set(QORX_LINK_MAPS ${CMAKE_BINARY_DIR}/link-maps)
file(MAKE_DIRECTORY ${QORX_LINK_MAPS})

function(qorx_windows_program target description)
  set(QORX_PROGRAM ${target})
  set(QORX_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QORX_ICON})
  target_link_options(${target} PRIVATE "LINKER:-Map=${QORX_LINK_MAPS}/${target}.map")
endfunction()

qorx_windows_program(qorx-demo "Qorx presentation")
qorx_windows_program(qorx-image "Qorx picture checker")
