# What `cmake --install` puts where, and the Debian package `cpack -G DEB` builds:
# the three programs, an empty loaders folder with its README, the English language
# file, the desktop entry and icon, bash completion, a man page of each program, and
# the copyright file and changelog.
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

# The shipped translations: installed beside english.lng, and copied beside the
# programs of the build, so that a portable copy offers them too.
file(GLOB BRANTLE_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/language/*.lng)
set(language_copies)
foreach(file ${BRANTLE_LANGUAGE_FILES})
  get_filename_component(name ${file} NAME)
  set(copy ${CMAKE_BINARY_DIR}/bin/language/${name})
  add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy ${file} ${copy}
                     DEPENDS ${file})
  list(APPEND language_copies ${copy})
endforeach()
add_custom_target(languages ALL DEPENDS ${language_copies})
install(FILES ${BRANTLE_LANGUAGE_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/brantle/language)

# Man pages from each program's --help, with the name, synopsis and the sections of
# packaging/man/PROGRAM.h2m, gzipped as Debian keeps them (-n: no time stamp).
set(BRANTLE_VERSION 0.68)
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages)
  foreach(program brantle brantle-cli brantle-phonesim)
    if(TARGET ${program})
      set(page ${CMAKE_BINARY_DIR}/share/man/${program}.1)
      set(include ${CMAKE_SOURCE_DIR}/packaging/man/${program}.h2m)
      add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --version-string=${BRANTLE_VERSION}
                --include=${include} --output=${page} $<TARGET_FILE:${program}>
        COMMAND gzip -9nf ${page}
        DEPENDS ${program} ${include}
        COMMENT "Writing the man page of ${program}")
      list(APPEND pages ${page}.gz)
    endif()
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages")
endif()

# What Debian wants in the package's doc folder: the licence, machine-readable, and
# the changelog, gzipped without a time stamp.
set(BRANTLE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brantle)
set(BRANTLE_CHANGELOG ${CMAKE_BINARY_DIR}/share/doc/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${BRANTLE_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/doc
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/changelog
          ${CMAKE_BINARY_DIR}/share/doc/changelog.Debian
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/share/doc/changelog.Debian
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(changelog ALL DEPENDS ${BRANTLE_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${BRANTLE_CHANGELOG}
        DESTINATION ${BRANTLE_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brantle)

set(CPACK_PACKAGE_NAME brantle)
set(CPACK_PACKAGE_VERSION ${BRANTLE_VERSION})
# A Debian revision: the package carries changelog.Debian.gz, as a non-native one.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "Brantle developers <brantle-developers@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for Samsung SGH phones in boot mode")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_SOURCE_DIR}/packaging/description.txt)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libstdc++6 (>= 12), zlib1g, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-translations-l10n, libcanberra0")
# bash-completion is what loads the completion file from its folder.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop, bash-completion")
# The programs are stripped as the package is made, their debug information going
# into brantle-dbgsym (CPack's own stripping would leave nothing to split off).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/RepairDebugPackage.cmake)
set(CPACK_GENERATOR DEB)
include(CPack)
