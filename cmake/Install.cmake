# Install rules: `cmake --install <build folder> [--prefix <prefix>]` puts
#   <bindir>                     talverin, zrreport, talverin-regcontrols, zrcomm-console
#   <libdir>                     the shared libraries
#   <libdir>/talverin            the control plug-ins and their registry components.ini, made at install
#   <datadir>/talverin           the program folder's files: settings, units, report templates, help
#                                pages, translations, the sample document, the start bitmap
#   <datadir>/applications, mime/packages, icons/hicolor/scalable/apps   desktop entry, MIME package, icon
# The programs find these folders relative to their own (plat::GetProgramFolder, GetPluginFolder).
# The simulated driver is a development tool and is not installed.
include(GNUInstallDirs)

set(TALVERIN_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/talverin)
set(TALVERIN_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/talverin)

file(RELATIVE_PATH talverin_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/talverin)
file(RELATIVE_PATH talverin_plugins_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/talverin)
file(RELATIVE_PATH talverin_lib_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH talverin_lib_from_plugins ${CMAKE_INSTALL_FULL_LIBDIR}/talverin ${CMAKE_INSTALL_FULL_LIBDIR})
target_compile_definitions(talverin-platform PRIVATE
  TALVERIN_INSTALLED_DATA_FROM_BIN="${talverin_data_from_bin}"
  TALVERIN_INSTALLED_PLUGINS_FROM_BIN="${talverin_plugins_from_bin}")

set(talverin_programs talverin zrreport talverin-regcontrols zrcomm-console)
set(talverin_libraries talverin-platform talverin-platform-qt talverin-component zrcomm zrcomm-qt talverin-model)
set(talverin_plugins zrparam zrcn2 zrslider zroscillo zrtermed)

set_target_properties(${talverin_programs} PROPERTIES INSTALL_RPATH "\$ORIGIN/${talverin_lib_from_bin}")
set_target_properties(${talverin_libraries} PROPERTIES INSTALL_RPATH "\$ORIGIN")
set_target_properties(${talverin_plugins} PROPERTIES INSTALL_RPATH "\$ORIGIN/${talverin_lib_from_plugins}")

install(TARGETS ${talverin_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${talverin_libraries} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS ${talverin_plugins} LIBRARY DESTINATION ${TALVERIN_INSTALL_PLUGINDIR})

# The program folder's files, as the build lays them out beside the programs.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/model/data/ DESTINATION ${TALVERIN_INSTALL_DATADIR}
        FILES_MATCHING PATTERN "*.ini" PATTERN "*.html" PATTERN "*.zrd" PATTERN "*.bmp")
foreach(folder Help Help_en)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/talverin/help/_RESOURCE DESTINATION ${TALVERIN_INSTALL_DATADIR}/${folder}
          FILES_MATCHING PATTERN "*.htm")
endforeach()
install(FILES ${TALVERIN_BIN_DIR}/translations/talverin_ja.qm ${TALVERIN_BIN_DIR}/translations/zrreport_ja.qm
        DESTINATION ${TALVERIN_INSTALL_DATADIR}/translations)

install(FILES ${CMAKE_SOURCE_DIR}/talverin/desktop/talverin.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/talverin/desktop/talverin.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/talverin/desktop/talverin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Last, with the program folder in place: the plug-ins register themselves into the installed
# registry; below its folder they are named relative to it, so a staged install (DESTDIR) or a
# moved prefix keeps them.
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TALVERIN_INSTALL_PLUGINDIR}\")
  set(plugins)
  foreach(p ${talverin_plugins})
    list(APPEND plugins \"\${folder}/\${p}.so\")
  endforeach()
  file(REMOVE \"\${folder}/components.ini\")
  # Loading the plug-ins starts the communication library, whose log goes to the program folder.
  set(data \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TALVERIN_INSTALL_DATADIR}\")
  set(logged FALSE)
  if(EXISTS \"\${data}/ZRCOMM.log\")
    set(logged TRUE)
  endif()
  message(STATUS \"Registering the control plug-ins: \${folder}/components.ini\")
  execute_process(COMMAND \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/talverin-regcontrols\"
                  --registry \"\${folder}/components.ini\" register \${plugins}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR \"the control plug-ins could not be registered (\${result})\")
  endif()
  if(NOT logged)
    file(REMOVE \"\${data}/ZRCOMM.log\" \"\${data}/ZRCOMM.log.bak\")
  endif()
")

# cmake --install of this build into a temporary prefix: the layout, and the installed program
# started from there offscreen making its five controls. Needs the whole build; it builds nothing.
if(TALVERIN_BUILD_TESTS AND TARGET talverin_startup_probe)
  add_test(NAME talverin.InstallMakesAWorkingPrefix
    COMMAND bash ${CMAKE_SOURCE_DIR}/talverin/tests/install/check.sh ${CMAKE_BINARY_DIR}
      $<TARGET_FILE:talverin_startup_probe> ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR} ${CMAKE_INSTALL_DATADIR})
  set_tests_properties(talverin.InstallMakesAWorkingPrefix PROPERTIES LABELS gui TIMEOUT 600)
endif()
