# The launcher's icon in each size assets/make-assets draws, where desktops
# look for an application's icon by name (Icon=qorx-demo).
if(NOT WIN32)
  file(GLOB icons ${PROJECT_SOURCE_DIR}/assets/icons/qorx-demo-*.png)
  foreach(icon ${icons})
    string(REGEX REPLACE ".*-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME qorx-demo.png)
  endforeach()
endif()
