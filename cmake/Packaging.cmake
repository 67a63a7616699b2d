# What `cmake --install` puts where, and the Debian package `cpack -G DEB` builds:
# the three programs, an empty loaders folder with its README, the English language
# file, the desktop entry and icon, bash completion and a man page of each program.
include(GNUInstallDirs)

install(TARGETS brantle-cli brantle-phonesim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET brantle)
  install(TARGETS brantle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/brantle.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/brantle.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/loaders-README.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/brantle/loaders RENAME README)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/brantle-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME brantle-cli)

# The English texts as a language file: what an installed copy ships and what a
# translator starts from.
add_executable(brantle-english-lng ${CMAKE_SOURCE_DIR}/tools/lang/export_english.cpp)
target_link_libraries(brantle-english-lng PRIVATE brantle_core)
set(BRANTLE_ENGLISH_LNG ${CMAKE_BINARY_DIR}/share/language/english.lng)
add_custom_command(
  OUTPUT ${BRANTLE_ENGLISH_LNG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/language
  COMMAND brantle-english-lng ${BRANTLE_ENGLISH_LNG}
  DEPENDS brantle-english-lng
  COMMENT "Writing the English language file")
add_custom_target(english_lng ALL DEPENDS ${BRANTLE_ENGLISH_LNG})
install(FILES ${BRANTLE_ENGLISH_LNG} DESTINATION ${CMAKE_INSTALL_DATADIR}/brantle/language)

# Man pages from each program's --help.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages)
  foreach(program brantle brantle-cli brantle-phonesim)
    if(TARGET ${program})
      set(page ${CMAKE_BINARY_DIR}/share/man/${program}.1)
      add_custom_command(
        OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --version-string=0.68
                --name=${program} --output=${page} $<TARGET_FILE:${program}>
        DEPENDS ${program}
        COMMENT "Writing the man page of ${program}")
      list(APPEND pages ${page})
    endif()
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages")
endif()

set(CPACK_PACKAGE_NAME brantle)
set(CPACK_PACKAGE_VERSION 0.68)
set(CPACK_PACKAGE_CONTACT "Brantle developers <brantle@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for Samsung SGH phones in boot mode")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libstdc++6 (>= 12), zlib1g, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-translations-l10n, libcanberra0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop")
set(CPACK_GENERATOR DEB)
include(CPack)
