# The installation and the Debian package, checked by scripts on the built programs.
include(GNUInstallDirs)
set(package_tests ${CMAKE_CURRENT_SOURCE_DIR}/package)
set(docs ${PROJECT_BINARY_DIR}/packaging)
if(TARGET partita-studio)
  add_test(NAME Package.ManPagesAndCompletionMatchHelp
           COMMAND bash ${package_tests}/docs_test.sh $<TARGET_FILE:partita>
                   $<TARGET_FILE:partita-studio> ${docs})
  add_test(NAME Package.DesktopEntryAndMetainfoValidate
           COMMAND bash ${package_tests}/desktop_files_test.sh
                   ${PROJECT_SOURCE_DIR}/packaging/${PARTITA_APP_ID}.desktop
                   ${docs}/${PARTITA_APP_ID}.metainfo.xml)
  add_test(NAME Package.InstalledProgramsStartFromTheirPrefix
           COMMAND bash ${package_tests}/install_test.sh ${PROJECT_BINARY_DIR}
                   ${CMAKE_INSTALL_LIBDIR} ${PARTITA_APP_ID})
  add_test(NAME Package.ManualPagesLinksAndPicturesResolve
           COMMAND bash ${package_tests}/manual_test.sh ${PROJECT_SOURCE_DIR}/res/manual
                   $<TARGET_FILE:test_gui>
                   ${PROJECT_SOURCE_DIR}/cmake/CopyManualImages.cmake)
  add_test(NAME Package.DebianPackageHoldsEveryFile
           COMMAND bash ${package_tests}/package_test.sh ${PROJECT_BINARY_DIR}
                   ${CMAKE_INSTALL_LIBDIR} ${PARTITA_APP_ID})
endif()
