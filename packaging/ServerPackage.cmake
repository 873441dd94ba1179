# The scoreboard server as a second Debian package, vortalix-scores, made by the same CPack run
# as the game: the program, its manual page, a hardened systemd unit and its config file.
# Included by Package.cmake when the server is built.

set(VORTALIX_SCORES_PROGRAM "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_SBINDIR}/vortalix-scores")
configure_file(${CMAKE_SOURCE_DIR}/packaging/vortalix-scores.service.in
  ${PACKAGING}/vortalix-scores.service @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/vortalix-scores.8.in
  ${PACKAGING}/vortalix-scores.8 @ONLY)
add_custom_command(OUTPUT ${PACKAGING}/vortalix-scores.8.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${PACKAGING}/vortalix-scores.8 > ${PACKAGING}/vortalix-scores.8.gz
  DEPENDS ${PACKAGING}/vortalix-scores.8)
add_custom_target(server_docs ALL DEPENDS ${PACKAGING}/vortalix-scores.8.gz)

install(TARGETS vortalix-scores RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT server)
install(FILES ${PACKAGING}/vortalix-scores.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8
  COMPONENT server)
install(FILES ${PACKAGING}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vortalix-scores COMPONENT server)
# Debian 12 keeps the system's units and configuration outside the prefix.
install(FILES ${PACKAGING}/vortalix-scores.service DESTINATION /lib/systemd/system
  COMPONENT server)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vortalix-scores.conf
  DESTINATION /etc/vortalix-scores COMPONENT server)

# The config file is the administrator's: an upgrade asks before replacing an edited one. The
# maintainer scripts enable and start the unit as debhelper's would.
configure_file(${CMAKE_SOURCE_DIR}/packaging/scores-conffiles ${PACKAGING}/server/conffiles COPYONLY)
foreach(script postinst prerm postrm)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/scores-${script} ${PACKAGING}/server/${script}
    COPYONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME vortalix-scores)
set(CPACK_DEBIAN_SERVER_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION games)
set(CPACK_DEBIAN_SERVER_PACKAGE_SHLIBDEPS ON)
# It plays every game again with the game's own data files, which the game's package holds.
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "vortalix (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  "${PACKAGING}/server/conffiles;${PACKAGING}/server/postinst;${PACKAGING}/server/prerm;${PACKAGING}/server/postrm")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_SERVER_DESCRIPTION
  "scoreboard server for VORTALIX-Revision-, proving every score by its replay\n\
vortalix-scores keeps the world ranking of the game vortalix. Games send their\n\
replay files to it over HTTP; each one is played again with the game's own\n\
code, and its score enters the board only when the game ends as the file\n\
says. The board is a web page with the replays to download and watch. It\n\
runs as a hardened systemd service with its SQLite database in\n\
/var/lib/vortalix-scores, or with PostgreSQL.")
