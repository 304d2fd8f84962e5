# The viewer program: main window, dialogs, status bar, and the program start.
add_library(lumivane_viewer STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/Application.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FindDialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/QtGuiThread.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/qdStatusBar.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Application.h
  ${CMAKE_CURRENT_SOURCE_DIR}/FindDialog.h
  ${CMAKE_CURRENT_SOURCE_DIR}/Main.h
  ${CMAKE_CURRENT_SOURCE_DIR}/qdStatusBar.h
)
target_include_directories(lumivane_viewer PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumivane_viewer PUBLIC
  lumivane_runner lumivane_view lumivane_viewer_text lumivane_engine lumivane_settings lumivane_dialogs
  lumivane_platform Qt6::Widgets)
lumivane_warnings(lumivane_viewer)

add_executable(lumivane ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(lumivane PRIVATE lumivane_viewer)
lumivane_warnings(lumivane)

# Desktop integration: the program, its menu entry, and the file types it opens.
install(TARGETS lumivane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer)
install(FILES ${PROJECT_SOURCE_DIR}/data/lumivane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT viewer)
install(FILES ${PROJECT_SOURCE_DIR}/data/lumivane-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT viewer)
# The file manager learns the new types from the MIME database; a staged
# install (DESTDIR) leaves that to the package's own scripts.
install(CODE "
  find_program(lumivane_update_mime update-mime-database)
  if(lumivane_update_mime AND NOT DEFINED ENV{DESTDIR})
    execute_process(COMMAND \${lumivane_update_mime}
                    \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\"
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
" COMPONENT viewer)
