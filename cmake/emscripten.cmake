# The browser build: Debian's emscripten, with zlib, libpng and FreeType from
# tools/fetch-web-libs.sh (build/web-libs/prefix unless JP_WEB_LIBS says).
# Everything is built for threads: the program's threads run in workers.
set(EMSCRIPTEN_ROOT_PATH /usr/share/emscripten)
include(${EMSCRIPTEN_ROOT_PATH}/cmake/Modules/Platform/Emscripten.cmake)

get_filename_component(_jp_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(JP_WEB_LIBS ${_jp_root}/build/web-libs/prefix CACHE PATH "zlib, libpng and FreeType built for the web")
list(APPEND CMAKE_FIND_ROOT_PATH ${JP_WEB_LIBS})
list(APPEND CMAKE_PREFIX_PATH ${JP_WEB_LIBS})

set(CMAKE_C_FLAGS_INIT "-pthread")
set(CMAKE_CXX_FLAGS_INIT "-pthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-pthread")
# Debian's emscripten finds its node modules (acorn) only this way at -O1 and above.
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
