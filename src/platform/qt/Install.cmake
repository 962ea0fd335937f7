# cmake --install: the program and quernel-cmd in a folder of their own with
# help.htm beside them (the program opens "<its folder>\help.htm"), linked
# from bin; the desktop entry and the icon where desktops look for them.
include(GNUInstallDirs)
set(quernel_home ${CMAKE_INSTALL_LIBEXECDIR}/quernel)

install(TARGETS quernel RUNTIME DESTINATION ${quernel_home})
if(TARGET quernel-cmd)
  install(TARGETS quernel-cmd RUNTIME DESTINATION ${quernel_home})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/help.htm DESTINATION ${CMAKE_INSTALL_DATADIR}/quernel)
install(CODE "
  set(home \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${quernel_home}\")
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(RELATIVE_PATH to_home \"\${bin}\" \"\${home}\")
  file(RELATIVE_PATH to_help \"\${home}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/quernel/help.htm\")
  foreach(program quernel quernel-cmd)
    file(CREATE_LINK \"\${to_home}/\${program}\" \"\${bin}/\${program}\" SYMBOLIC)
  endforeach()
  file(CREATE_LINK \"\${to_help}\" \"\${home}/help.htm\" SYMBOLIC)
")
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/quernel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/quernel.ico)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/quernel.ico DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps)
endif()
