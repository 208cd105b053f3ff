# Installing the Qt reader on a Linux desktop, and the Debian package of it
# (`make package`, CPack): the program, its desktop entry, its AppStream
# metainfo and its icon in the hicolor theme's sizes.

include(GNUInstallDirs)

# The application id names the desktop entry, the metainfo and the icon.
set(LANTHORN_APP_ID example.tallowlight.LanthornFell)
set(linux_resources ${PROJECT_SOURCE_DIR}/resources/linux)

configure_file(${linux_resources}/${LANTHORN_APP_ID}.metainfo.xml
               ${PROJECT_BINARY_DIR}/generated/${LANTHORN_APP_ID}.metainfo.xml @ONLY)

install(TARGETS lanthorn-qt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux_resources}/${LANTHORN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/generated/${LANTHORN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${LANTHORN_RESOURCE_DIR}/icon/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_SOURCE_DIR}/resources/art/lanthorn-icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${LANTHORN_APP_ID}.svg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lanthorn-fell)
set(CPACK_PACKAGE_VERSION ${LANTHORN_VERSION})
set(CPACK_PACKAGE_VENDOR "${LANTHORN_COMPANY}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${LANTHORN_PRODUCT}: a gamebook of one winter night on an upland fell")
set(CPACK_PACKAGE_DESCRIPTION
    "A branching story told one numbered page at a time, with pictures and\n"
    "sounds, in a reader that keeps your place between sessions.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LANTHORN_COMPANY} <${LANTHORN_SUPPORT}>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the program links, found by dpkg-shlibdeps; Qt loads its
# window-system plugins at run time, so those are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)

if(LANTHORN_TESTS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/package ${PROJECT_BINARY_DIR}/tests/package)
endif()
