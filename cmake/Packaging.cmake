# Installing and the .deb: the three programs share one folder (the program folder, where the
# programs expect tavrfix and the manual), with the two user-facing ones linked into bin.
include_guard(GLOBAL)
include(GNUInstallDirs)

set(TAV_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tavrenne)
set(TAV_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(TAV_PACKAGE_BUILD_DIR ${PROJECT_BINARY_DIR}/package-data)

install(TARGETS tavrenne tavrenne-cli tavrfix RUNTIME DESTINATION ${TAV_PROGRAM_DIR})
# The help command opens manual/index.html (Japanese) or manual/en/index.html (English) in the
# program folder; the whole tree goes, the English pages with it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual DESTINATION ${TAV_PROGRAM_DIR})
install(CODE "
  foreach(name tavrenne tavrenne-cli)
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${TAV_PROGRAM_DIR}/\${name} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${name}\" SYMBOLIC)
  endforeach()")

# Files made at build time: the metadata with the version, the compressed changelog and man
# pages; the .MD5 icons and MIME package come from tavrfix-art (src/helper).
configure_file(${TAV_DATA_DIR}/tavrenne.metainfo.xml
  ${TAV_PACKAGE_BUILD_DIR}/io.github.quillory.tavrenne.metainfo.xml @ONLY)
configure_file(${TAV_DATA_DIR}/changelog.Debian ${TAV_PACKAGE_BUILD_DIR}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${TAV_PACKAGE_BUILD_DIR}/changelog.gz
  COMMAND gzip -9nc ${TAV_PACKAGE_BUILD_DIR}/changelog.Debian > ${TAV_PACKAGE_BUILD_DIR}/changelog.gz
  DEPENDS ${TAV_PACKAGE_BUILD_DIR}/changelog.Debian)
set(man_pages)
foreach(page tavrenne tavrenne-cli)
  configure_file(${TAV_DATA_DIR}/${page}.1 ${TAV_PACKAGE_BUILD_DIR}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${TAV_PACKAGE_BUILD_DIR}/${page}.1.gz
    COMMAND gzip -9nc ${TAV_PACKAGE_BUILD_DIR}/${page}.1 > ${TAV_PACKAGE_BUILD_DIR}/${page}.1.gz
    DEPENDS ${TAV_PACKAGE_BUILD_DIR}/${page}.1)
  list(APPEND man_pages ${TAV_PACKAGE_BUILD_DIR}/${page}.1.gz)
endforeach()
add_custom_target(tavrenne-package-data ALL DEPENDS ${TAV_PACKAGE_BUILD_DIR}/changelog.gz ${man_pages})
add_dependencies(tavrenne-package-data tavrfix-art-files)

install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TAV_DATA_DIR}/tavrenne.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TAV_ART_DIR}/tavrenne-md5.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${TAV_PACKAGE_BUILD_DIR}/io.github.quillory.tavrenne.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/resources/tavrenne.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(icons)
foreach(i RANGE 14)
  list(APPEND icons ${TAV_ART_DIR}/tavrenne-md5-${i}.svg)
endforeach()
install(FILES ${icons} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(FILES ${TAV_DATA_DIR}/copyright ${TAV_PACKAGE_BUILD_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavrenne)

# cpack -G DEB (scripts/package.sh builds and checks it).
set(CPACK_PACKAGE_NAME tavrenne)
set(CPACK_PACKAGE_VENDOR Quillory)
set(CPACK_PACKAGE_CONTACT "Quillory <tavrenne@quillory.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file information and CRC32, MD5 and SHA-1 digests")
set(CPACK_PACKAGE_DESCRIPTION "Tavrenne shows everything about one file (size, times, version\n strings, attributes) and proves its content by CRC32, MD5 and SHA-1 digests,\n compared with a pasted value or an .MD5 file. Includes tavrenne-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, dbus")
include(CPack)
