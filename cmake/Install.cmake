# cmake --install: the program, its data folder, a desktop entry and the icon. The installed
# program finds share/kivtree beside its bin folder and copies the data into the user's own
# data folder on its first start (see DataFolder).
include(GNUInstallDirs)
install(TARGETS kivtree RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KIV_RUN_DIR}/K-I-V.db ${KIV_RUN_DIR}/help.TXT ${KIV_SEARCH_DICTIONARY_COPIES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kivtree)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kivtree.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 128)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/kivtree-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kivtree.png)
endforeach()
