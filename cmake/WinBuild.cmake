# The Windows build, cross-compiled with MinGW-w64 by tools/windows.sh: the same core library
# as the desktop, SDL2's window with the Windows parts of platform/win/, both programs linked
# statically into one .exe each, and CPack's portable zip and NSIS installer.
#
#   VORTALIX_WIN_DATA      folder of the data files to ship (image/, sound/ with the music
#                          rendered to .ogg, score.vtx, VORTALIX.ini); tools/windows.sh makes it
#   VORTALIX_WIN_ICON      the crown icon as a .ico file
#   VORTALIX_WIN_LICENCES  folder of the licences of the libraries linked in
#   CMAKE_FIND_ROOT_PATH   the prefix where tools/windows.sh built SDL2, SDL2_mixer,
#                          libjpeg-turbo and zlib

set(VORTALIX_WIN_DATA "" CACHE PATH "Folder of the data files to ship")
set(VORTALIX_WIN_ICON "" CACHE FILEPATH "The program's icon (.ico)")
set(VORTALIX_WIN_LICENCES "" CACHE PATH "Folder of the licences of the linked libraries")
if(NOT IS_DIRECTORY "${VORTALIX_WIN_DATA}/image")
  message(FATAL_ERROR "VORTALIX_WIN_DATA must name a folder with the game's data files")
endif()
if(NOT EXISTS "${VORTALIX_WIN_ICON}")
  message(FATAL_ERROR "VORTALIX_WIN_ICON must name the program's .ico file")
endif()

find_package(SDL2 CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
find_path(TURBOJPEG_INCLUDE_DIR turbojpeg.h REQUIRED)
find_library(TURBOJPEG_LIBRARY NAMES libturbojpeg.a turbojpeg REQUIRED)
find_package(ZLIB REQUIRED)

# SimpleIni is one header from Debian's libsimpleini-dev. /usr/include itself must not be seen
# by this compiler (it holds the Linux C library), so the header is copied on its own.
find_file(SIMPLEINI_HEADER SimpleIni.h PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  REQUIRED)
configure_file(${SIMPLEINI_HEADER} ${CMAKE_BINARY_DIR}/simpleini/SimpleIni.h COPYONLY)

add_compile_options(-Wall -Wextra)
if(VORTALIX_WERROR)
  add_compile_options(-Werror -Wno-error=restrict -Wno-error=stringop-overread
    -Wno-error=stringop-overflow)
endif()
# windows.h must not take min and max from the standard library.
add_compile_definitions(NOMINMAX)
# One .exe each, without the MinGW runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB CORE_SOURCES CONFIGURE_DEPENDS
  app/*.cpp render/*.cpp game/*.cpp IntStr/*.cpp screens/*.cpp audio/*.cpp platform/*.cpp)
list(FILTER CORE_SOURCES EXCLUDE REGEX "/app/(main|headless_main|ReplayWatch)\\.cpp$")
# Windows has its own file access (UTF-16 paths, replacing moves) and its own places for the
# player's files (%APPDATA%).
list(FILTER CORE_SOURCES EXCLUDE REGEX "/platform/(files|FileLocations)\\.cpp$")
# The narrow-character SimpleIni needs no converter; the code is the browser build's.
add_library(vortalix_core STATIC ${CORE_SOURCES} platform/win/WinFiles.cpp
  platform/win/WinFileLocations.cpp platform/win/WinText.cpp platform/web/SimpleIniCode.cpp)
target_include_directories(vortalix_core PUBLIC ${CMAKE_SOURCE_DIR} ${TURBOJPEG_INCLUDE_DIR})
target_include_directories(vortalix_core SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/simpleini)
target_compile_definitions(vortalix_core PUBLIC SI_NO_CONVERSION
  VORTALIX_VERSION="${PROJECT_VERSION}")
target_link_libraries(vortalix_core PUBLIC ${TURBOJPEG_LIBRARY} ZLIB::ZLIB)

file(GLOB REPLAY_SOURCES CONFIGURE_DEPENDS replay/*.cpp)
add_library(vortalix_replay STATIC ${REPLAY_SOURCES})
target_link_libraries(vortalix_replay PUBLIC vortalix_core)

add_library(vortalix_headless_platform STATIC platform/headless/HeadlessPlatform.cpp)
target_link_libraries(vortalix_headless_platform PUBLIC vortalix_core)

# The desktop's SDL platform without its X and zenity parts, FluidSynth's music replaced by
# the rendered pieces, and Windows' own sleeps and dialogs.
add_library(vortalix_win_platform STATIC
  platform/sdl/SdlPlatform.cpp platform/sdl/SdlPacing.cpp platform/sdl/SdlFrameOutput.cpp
  platform/sdl/SdlKeys.cpp platform/sdl/SdlEffects.cpp platform/sdl/SdlAudio.cpp
  platform/sdl/SdlMusic.cpp platform/sdl/SdlGamepad.cpp platform/sdl/SdlPresentLog.cpp
  platform/sdl/SdlGpuProbe.cpp platform/sdl/SdlDialogs.cpp platform/sdl/PixelConvert.cpp
  platform/sdl/PresentChoice.cpp platform/sdl/DeadlineSleep.cpp
  platform/win/WinSleep.cpp platform/win/OggMusic.cpp platform/win/WinPlatform.cpp)
# The data lie beside the program on Windows, installed or not.
target_compile_definitions(vortalix_win_platform PRIVATE VORTALIX_DATA_FROM_BIN=".")
target_link_libraries(vortalix_win_platform PUBLIC vortalix_core SDL2::SDL2-static
  SDL2_mixer::SDL2_mixer-static comdlg32 winmm)

# The icon and the version in the program's resources.
string(REPLACE "." "," VORTALIX_VERSION_COMMAS "${PROJECT_VERSION}")
configure_file(packaging/windows/vortalix.rc.in ${CMAKE_BINARY_DIR}/vortalix.rc @ONLY)

# No HTTP client library is built for Windows, so the program has the sender that never
# connects: --submit says so.
add_executable(vortalix WIN32 platform/win/win_main.cpp app/ReplayWatch.cpp
  online/none/NoSending.cpp ${CMAKE_BINARY_DIR}/vortalix.rc)
target_link_libraries(vortalix PRIVATE SDL2::SDL2main vortalix_win_platform vortalix_replay
  vortalix_headless_platform)

add_executable(vortalix-headless app/headless_main.cpp)
target_link_libraries(vortalix-headless PRIVATE vortalix_headless_platform vortalix_replay)

# The Windows parts' own tests, run under Wine by tests/win/run.bash, with GoogleTest built
# from the sources Debian's libgtest-dev ships.
set(VORTALIX_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources")
if(VORTALIX_TESTS AND EXISTS ${VORTALIX_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VORTALIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Not our code: its warnings are its own.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  add_executable(vortalix_win_tests tests/win/win_platform_test.cpp)
  target_link_libraries(vortalix_win_tests PRIVATE vortalix_headless_platform
    vortalix_win_platform gtest gtest_main shell32)
endif()

# --- the packages: everything in one folder, the programs beside their data ---
install(TARGETS vortalix vortalix-headless RUNTIME DESTINATION .)
install(DIRECTORY ${VORTALIX_WIN_DATA}/ DESTINATION .)
install(FILES packaging/windows/README.txt DESTINATION .)
install(FILES packaging/copyright DESTINATION . RENAME LICENSE.txt)
if(IS_DIRECTORY "${VORTALIX_WIN_LICENCES}")
  install(DIRECTORY ${VORTALIX_WIN_LICENCES}/ DESTINATION licences)
endif()

set(CPACK_PACKAGE_NAME vortalix)
set(CPACK_PACKAGE_VENDOR "The VORTALIX team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vortalix-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY vortalix)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small arcade game: steer a point and never touch white")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)
# The zip unpacks into one folder of the package's name, as CPack's archives do by default.
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/copyright)
# Start menu entry "VORTALIX-Revision-" for vortalix.exe, with the program's own crown icon.
set(CPACK_PACKAGE_EXECUTABLES vortalix "VORTALIX-Revision-")
set(CPACK_NSIS_PACKAGE_NAME "VORTALIX-Revision-")
set(CPACK_NSIS_DISPLAY_NAME "VORTALIX-Revision-")
set(CPACK_NSIS_MUI_ICON ${VORTALIX_WIN_ICON})
set(CPACK_NSIS_MUI_UNIICON ${VORTALIX_WIN_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME vortalix.exe)
# 64-bit programs belong under the 64-bit Program Files; the programs lie in the top folder.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer and uninstaller with Unicode texts, like the program; one solid archive
# packs the data files tighter.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_URL_INFO_ABOUT "${PROJECT_HOMEPAGE_URL}")
# The marker that tells the game it is installed, so that the player's files go to
# %APPDATA%\vortalix\ even where Program Files can be written to. The uninstaller takes it away
# with the rest of what was installed; the player's files are never touched.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  FileOpen $0 '$INSTDIR\\\\installed.txt' w
  FileWrite $0 'installed by the setup: the player files are kept in APPDATA'
  FileClose $0")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  Delete '$INSTDIR\\\\installed.txt'")
configure_file(packaging/windows/PerGenerator.cmake.in ${CMAKE_BINARY_DIR}/PerGenerator.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/PerGenerator.cmake)
include(CPack)
