# The Debian package, made with CPack: `cpack -G DEB` in a build folder configured with
# CMAKE_INSTALL_PREFIX=/usr (tools/package.sh does all of it, with Debian's build flags).

set(VORTALIX_MAINTAINER "The VORTALIX team <team@vortalix.example.org>" CACHE STRING
  "Maintainer of the Debian package")

# Debian wants the changelog and the manual page compressed, without a time stamp, so that the
# same sources give the same package.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${PACKAGING}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${PACKAGING}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_command(OUTPUT ${PACKAGING}/vortalix.6.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${PACKAGING}/vortalix.6 > ${PACKAGING}/vortalix.6.gz
  DEPENDS ${PACKAGING}/vortalix.6)
add_custom_target(package_docs ALL DEPENDS ${PACKAGING}/changelog.gz ${PACKAGING}/vortalix.6.gz)

install(FILES ${PACKAGING}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME vortalix)
set(CPACK_PACKAGE_VENDOR "The VORTALIX team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORTALIX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORTALIX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the game needs at run time besides its libraries: the instruments of the music, and
# a TrueType font with Japanese glyphs; zenity for choosing a picture and the core X fonts for
# SDL's own warning box (Debian keeps X font packages out of Depends) are recommended.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fluid-soundfont-gm, fonts-ipafont-gothic")
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "zenity, xfonts-base")
# Each package's description begins with its own summary line. CPack puts the one common
# summary before every package's description unless that summary is its own default, so it is
# left at that default.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_COMPONENT_GAME_DESCRIPTION
  "small arcade game: steer a point and never touch white\n\
VORTALIX-Revision- is a small single-window arcade game for one player. A point\n\
steered with the keyboard leaves a white trail on a field that wraps round at\n\
its edges; it collects bonus and rate items, scores huge exact numbers, levels\n\
up, dies on white, and enters a top-10 ranking.")

# One package per component: the game (everything installed without a component), and the
# scoreboard server when it is built.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME vortalix)
set(CPACK_DEBIAN_GAME_FILE_NAME DEB-DEFAULT)
set(CPACK_COMPONENTS_ALL game)
if(TARGET vortalix-scores)
  include(${CMAKE_SOURCE_DIR}/packaging/ServerPackage.cmake)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
