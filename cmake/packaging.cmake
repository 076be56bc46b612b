# Installing and packaging. `cmake --install` puts the plug-ins where Linux
# VST 2 hosts look for them (lib/vst under the prefix), the LV2 bundles into
# lib/lv2 (lv2/CMakeLists.txt) and the tools into bin; CPack builds a Debian package of both, with the shared libraries it
# links found by dpkg-shlibdeps.
if(WIN32)
  return()  # the Windows DLLs ship without an installer
endif()
get_property(vorsa_plugins GLOBAL PROPERTY VORSA_PLUGINS)
install(TARGETS ${vorsa_plugins} LIBRARY DESTINATION lib/vst)
foreach(tool vorsa-render vorsa-info)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION bin)
  endif()
endforeach()
# The package's copyright and changelog, where Debian keeps them.
set(vorsa_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${vorsa_changelog}
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/cmake/debian/changelog > ${vorsa_changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/debian/changelog VERBATIM)
add_custom_target(vorsa_changelog ALL DEPENDS ${vorsa_changelog})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${vorsa_changelog} DESTINATION share/doc/vorsa-plugins)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorsa-plugins)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vorsa)
set(CPACK_PACKAGE_CONTACT "Vorsa <plugins@vorsa.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Glintor and Rumblor VST 2 and LV2 audio plug-ins, with render and listing tools")
set(CPACK_PACKAGE_DESCRIPTION
  "Glintor (treble enhancer) and Rumblor (bass enhancer), each in a stereo and a mono build, for VST 2 and LV2 hosts on Linux.
The VST 2 plug-ins install into /usr/lib/vst, the LV2 bundles into /usr/lib/lv2; vorsa-render renders audio files through any Linux VST 2 plug-in and
vorsa-info lists a plug-in's parameters and programs.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editors draw their texts with these fonts; no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
