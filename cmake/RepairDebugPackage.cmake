# Run by cpack once the packages are made (CPACK_POST_BUILD_SCRIPTS). The debug
# symbols package CPack makes lists its files in md5sums under their build path and
# has no doc folder; a Debian dbgsym package lists them under their installed path
# and shares the doc folder (copyright, changelog) of the package it belongs to.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${tree}/DEBIAN/md5sums sums)
  string(REGEX REPLACE "  [^\n]*/usr/lib/debug/" "  usr/lib/debug/" sums "${sums}")
  file(WRITE ${tree}/DEBIAN/md5sums "${sums}")
  file(MAKE_DIRECTORY ${tree}/usr/share/doc)
  file(CREATE_LINK ${CPACK_PACKAGE_NAME} ${tree}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym
       SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b ${tree} ${package}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
