# cmake --install: the program in a folder of its own, with help.htm and
# quernel-cmd reachable beside it (the program opens "<its folder>\help.htm"
# and runs the quernel-cmd next to it), linked from bin; the desktop entry
# and the icon where desktops look for them. quernel-cmd itself is installed
# in bin by its own rules.
include(GNUInstallDirs)
set(quernel_home ${CMAKE_INSTALL_LIBEXECDIR}/quernel)

install(TARGETS quernel RUNTIME DESTINATION ${quernel_home})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help.htm DESTINATION ${CMAKE_INSTALL_DATADIR}/quernel)
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(home \"\${prefix}/${quernel_home}\")
  set(bin \"\${prefix}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(RELATIVE_PATH to_home \"\${bin}\" \"\${home}\")
  file(RELATIVE_PATH to_bin \"\${home}\" \"\${bin}\")
  file(RELATIVE_PATH to_help \"\${home}\" \"\${prefix}/${CMAKE_INSTALL_DATADIR}/quernel/help.htm\")
  file(CREATE_LINK \"\${to_home}/quernel\" \"\${bin}/quernel\" SYMBOLIC)
  file(CREATE_LINK \"\${to_bin}/quernel-cmd\" \"\${home}/quernel-cmd\" SYMBOLIC)
  file(CREATE_LINK \"\${to_help}\" \"\${home}/help.htm\" SYMBOLIC)
")
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/quernel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# "用 Quernel 列出文件" on folders, where file managers read a system-wide
# declarative file: Dolphin's service menus (KF5 5.85 and later, KF6; not
# executable, as those in system folders need not be), Nemo's actions, and
# the file-manager/actions of Caja (caja-actions) and PCManFM.
set(linux_resources ${PROJECT_SOURCE_DIR}/resources/linux)
install(FILES ${linux_resources}/quernel-dolphin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus
  RENAME quernel.desktop)
install(FILES ${linux_resources}/quernel.nemo_action DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
install(FILES ${linux_resources}/quernel-file-manager-action.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/file-manager/actions
  RENAME quernel.desktop)
if(quernel_icon)
  add_executable(quernel_icon_to_png icon_to_png.cpp)
  target_link_libraries(quernel_icon_to_png PRIVATE Qt6::Gui)
  quernel_warnings(quernel_icon_to_png)
  set(icon_sizes 16 22 24 32 48 64 128 256)
  set(icon_folder ${CMAKE_CURRENT_BINARY_DIR}/icons)
  set(icon_pngs "")
  foreach(size IN LISTS icon_sizes)
    list(APPEND icon_pngs ${icon_folder}/${size}x${size}/apps/quernel.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_pngs}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      $<TARGET_FILE:quernel_icon_to_png> ${quernel_icon} ${icon_folder} ${icon_sizes}
    DEPENDS quernel_icon_to_png ${quernel_icon} VERBATIM)
  add_custom_target(quernel_icon_png ALL DEPENDS ${icon_pngs})
  install(DIRECTORY ${icon_folder}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
    FILES_MATCHING PATTERN "*.png")
endif()
