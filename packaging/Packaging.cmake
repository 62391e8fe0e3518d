# Debian packages of the Linux build (cpack -G DEB in the build folder): the plug-in in
# krv-tarnwick, the tools in krv-tarnwick-tools. scripts/release.sh builds them on the
# oldest Debian we support, so that they install on it and everything newer.
if(WIN32)
  return()
endif()

# Each package carries its own copyright and changelog, as Debian's policy asks; the
# changelog is CHANGELOG.md in Debian's format.
set(KRV_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${KRV_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  # -n: no name or time inside, so that the same sources give the same bytes.
  COMMAND sh -c "\"$1\" \"$2\" krv-tarnwick \"$3\" \"$4\" > \"$5.txt\" && gzip -9n -c \"$5.txt\" > \"$5\""
          sh ${CMAKE_SOURCE_DIR}/packaging/debian-changelog.sh ${CMAKE_SOURCE_DIR}/CHANGELOG.md
          ${PROJECT_VERSION} ${KRV_MAINTAINER} ${KRV_CHANGELOG_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/packaging/debian-changelog.sh
  VERBATIM)
add_custom_target(krv_package_documents ALL DEPENDS ${KRV_CHANGELOG_GZ})
foreach(component_and_package plugin:krv-tarnwick tools:krv-tarnwick-tools)
  string(REPLACE ":" ";" pair ${component_and_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${KRV_CHANGELOG_GZ}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian/krv-tarnwick-tools
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT tools)

set(CPACK_PACKAGE_NAME krv-tarnwick)
set(CPACK_PACKAGE_VENDOR "KRV tarnwick developers")
set(CPACK_PACKAGE_CONTACT ${KRV_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL plugin tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries and their lowest versions from what the binaries really use.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME krv-tarnwick)
# The program-name field is drawn in this font; without it another face stands in.
set(CPACK_DEBIAN_PLUGIN_PACKAGE_RECOMMENDS "fonts-liberation2 | fonts-liberation")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME krv-tarnwick-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "krv-tarnwick (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_PLUGIN_DESCRIPTION
    "stereo opto compressor with valve saturation (VST, CLAP and LV2 plug-in)
KRV tarnwick is a stereo opto compressor with a valve-style saturation stage,
as a VST 2.4, a CLAP and an LV2 plug-in with its own editor. Hosts that scan
/usr/lib/vst, /usr/lib/clap or /usr/lib/lv2 find it.
It offers 32 factory programs, bank and preset files and A/B memories.")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "tools for the KRV tarnwick compressor plug-in
krv-process runs audio files through the plug-in offline, as a host would,
with its presets and parameters chosen on the command line. krv-host shows
the plug-in's editor in a window of its own, with a test signal running.")
include(CPack)
