# The browser build, made with Emscripten (emcmake) by tools/web.sh: the same core library as
# the desktop, the web platform, and a folder of static files in ${CMAKE_BINARY_DIR}/site.
#
#   VORTALIX_WEB_DATA   folder of the data files to pack (image/, sound/ with the effects,
#                       score.vtx, VORTALIX.ini); tools/web.sh makes it
#   VORTALIX_WEB_MUSIC  folder of the music rendered to .ogg, which the page fetches after the
#                       first frame; tools/web.sh makes it
#   CMAKE_FIND_ROOT_PATH  the prefix where tools/web.sh built SDL2, SDL2_mixer, libjpeg-turbo
#                         and zlib

set(VORTALIX_WEB_DATA "" CACHE PATH "Folder of the data files to pack into the page")
if(NOT IS_DIRECTORY "${VORTALIX_WEB_DATA}/image")
  message(FATAL_ERROR "VORTALIX_WEB_DATA must name a folder with the game's data files")
endif()

find_package(SDL2 CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
find_path(TURBOJPEG_INCLUDE_DIR turbojpeg.h REQUIRED)
find_library(TURBOJPEG_LIBRARY NAMES turbojpeg REQUIRED)
find_package(ZLIB REQUIRED)

# SimpleIni is one header from Debian's libsimpleini-dev. /usr/include itself must not be seen
# by this compiler (it holds the system's C library), so the header is copied on its own.
find_file(SIMPLEINI_HEADER SimpleIni.h PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  REQUIRED)
configure_file(${SIMPLEINI_HEADER} ${CMAKE_BINARY_DIR}/simpleini/SimpleIni.h COPYONLY)

add_compile_options(-Wall -Wextra)
if(VORTALIX_WERROR)
  add_compile_options(-Werror)
endif()
# The game ends by throwing ProgramExit up to its entry, so exceptions must be caught.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

file(GLOB CORE_SOURCES CONFIGURE_DEPENDS
  app/*.cpp render/*.cpp game/*.cpp IntStr/*.cpp screens/*.cpp audio/*.cpp platform/*.cpp)
list(FILTER CORE_SOURCES EXCLUDE REGEX "/app/(main|headless_main|ReplayWatch)\\.cpp$")
file(GLOB REPLAY_SOURCES CONFIGURE_DEPENDS replay/*.cpp)
list(APPEND CORE_SOURCES ${REPLAY_SOURCES})
add_library(vortalix_core STATIC ${CORE_SOURCES} platform/web/SimpleIniCode.cpp)
target_include_directories(vortalix_core PUBLIC ${CMAKE_SOURCE_DIR} ${TURBOJPEG_INCLUDE_DIR})
target_include_directories(vortalix_core SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/simpleini)
# Only the narrow-character SimpleIni is used, which needs no converter: the desktop's ICU is
# not needed here.
target_compile_definitions(vortalix_core PUBLIC SI_NO_CONVERSION
  VORTALIX_VERSION="${PROJECT_VERSION}")
target_link_libraries(vortalix_core PUBLIC ${TURBOJPEG_LIBRARY} ZLIB::ZLIB)

add_library(vortalix_web_platform STATIC
  platform/web/WebAudio.cpp platform/web/WebPage.cpp platform/web/WebPlatform.cpp
  platform/sdl/SdlEffects.cpp platform/sdl/SdlKeys.cpp)
target_link_libraries(vortalix_web_platform PUBLIC vortalix_core SDL2::SDL2-static
  SDL2_mixer::SDL2_mixer-static)

set(VORTALIX_SITE_DIR ${CMAKE_BINARY_DIR}/site CACHE PATH "Folder the page's static files are written to")
set(SITE_DIR ${VORTALIX_SITE_DIR})
add_executable(vortalix platform/web/web_main.cpp)
set_target_properties(vortalix PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SITE_DIR} SUFFIX ".js")
target_link_libraries(vortalix PRIVATE vortalix_web_platform)
# Names with a '$' do not survive CMake's quoting, so these options go through a response
# file. SDL's audio needs the two library functions; the page needs FS for the stored folder.
file(WRITE ${CMAKE_BINARY_DIR}/web-link.rsp
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=['$autoResumeAudioContext','$dynCall']\n"
  "-sEXPORTED_RUNTIME_METHODS=['FS','ccall','UTF8ToString']\n"
  "-sEXPORTED_FUNCTIONS=['_main','_vortalix_picture_chosen','_vortalix_watch','_vortalix_start_audio','_vortalix_music_arrived']\n")
target_link_options(vortalix PRIVATE
  "@${CMAKE_BINARY_DIR}/web-link.rsp"
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=33554432
  -sENVIRONMENT=web
  # The pictures are bitmaps that shrink to a third in LZ4; they stay compressed in memory
  # and are unpacked as the game reads them.
  -sLZ4=1
  -lidbfs.js
  "SHELL:--preload-file ${VORTALIX_WEB_DATA}@/vortalix")
# The packed data file is made when the program is linked.
file(GLOB_RECURSE WEB_DATA_FILES CONFIGURE_DEPENDS ${VORTALIX_WEB_DATA}/*)
set_property(TARGET vortalix APPEND PROPERTY LINK_DEPENDS ${WEB_DATA_FILES})


# Touch controls, the keys line, and what makes the page an installable app that works
# offline: the manifest with the crown icons assetgen draws for the desktop, and a service
# worker written last, from every file the site then holds.
set(VORTALIX_WEB_ICONS "" CACHE PATH "assetgen's icons/hicolor folder, for the page's manifest")
if(NOT EXISTS "${VORTALIX_WEB_ICONS}/256x256/apps/vortalix.png")
  message(FATAL_ERROR "VORTALIX_WEB_ICONS must name assetgen's icons/hicolor folder")
endif()
# Copied on every build, so that a change to one of these files alone reaches the site; the
# worker is written last, from the finished site, so that its list and hash see every file.
set(page_copies COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE_DIR}/icons)
foreach(side 48 64 128 256)
  list(APPEND page_copies COMMAND ${CMAKE_COMMAND} -E copy
       ${VORTALIX_WEB_ICONS}/${side}x${side}/apps/vortalix.png ${SITE_DIR}/icons/vortalix-${side}.png)
endforeach()
# The rendered music, fetched by the page after the first frame; music/list.json names the
# pieces.
set(VORTALIX_WEB_MUSIC "" CACHE PATH "Folder of the rendered music (.ogg) the page fetches")
file(GLOB web_music CONFIGURE_DEPENDS ${VORTALIX_WEB_MUSIC}/*.ogg)
if(NOT web_music)
  message(FATAL_ERROR "VORTALIX_WEB_MUSIC must name the folder of the rendered music")
endif()
set(music_names "")
foreach(piece IN LISTS web_music)
  get_filename_component(piece_name ${piece} NAME)
  list(APPEND music_names "\"${piece_name}\"")
endforeach()
list(JOIN music_names ", " music_names)
file(WRITE ${CMAKE_BINARY_DIR}/music/list.json "[${music_names}]\n")
list(APPEND page_copies COMMAND ${CMAKE_COMMAND} -E make_directory ${SITE_DIR}/music
     COMMAND ${CMAKE_COMMAND} -E copy ${web_music} ${CMAKE_BINARY_DIR}/music/list.json
             ${SITE_DIR}/music/)
foreach(page_file index.html watch.js scoreboard.js touch.js touch.css offline.js loader.js
    manifest.webmanifest)
  list(APPEND page_copies COMMAND ${CMAKE_COMMAND} -E copy
       ${CMAKE_SOURCE_DIR}/platform/web/${page_file} ${SITE_DIR}/${page_file})
endforeach()
add_custom_target(vortalix_site ALL
  ${page_copies}
  COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${SITE_DIR}
          -DTEMPLATE=${CMAKE_SOURCE_DIR}/platform/web/sw.js.in
          -P ${CMAKE_SOURCE_DIR}/cmake/WebServiceWorker.cmake
  COMMENT "Copying the page's files and writing its service worker"
  VERBATIM)
add_dependencies(vortalix_site vortalix)
