# The browser build (emscripten, cmake/emscripten.cmake): the program's
# folders and wince/ compiled as for Linux, with web/ as the device, linked
# into jostlepad.js + .wasm; tools/build-web.sh puts the site together.
# Included from the top-level CMakeLists.txt, which defines the program's
# library and the embedded resources on the wince library made here.
find_package(PNG REQUIRED)
find_package(Freetype REQUIRED)

# the same areas as on Linux, as one library: the link sees them all at once
set(WINCE_SOURCES)
foreach(area kernel sensor user registry audio gdi shell device)
  file(GLOB s CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/wince/src/${area}/*.cpp)
  list(APPEND WINCE_SOURCES ${s})
endforeach()
add_library(wince STATIC ${WINCE_SOURCES})
target_include_directories(wince PUBLIC ${CMAKE_SOURCE_DIR}/wince/include ${CMAKE_SOURCE_DIR}/wince/src)
target_compile_options(wince PRIVATE ${JP_WARNINGS})
target_link_libraries(wince PUBLIC PNG::PNG Freetype::Freetype)

# the device: web/*.cpp, and the desktop's key jerks from host/
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*.cpp)
add_executable(jostlepad ${WEB_SOURCES} ${CMAKE_SOURCE_DIR}/host/key_jerk_source.cpp
               ${CMAKE_BINARY_DIR}/program_resources.cpp)
target_include_directories(jostlepad PRIVATE ${CMAKE_SOURCE_DIR}/web ${CMAKE_SOURCE_DIR}/host)
target_compile_options(jostlepad PRIVATE ${JP_WARNINGS})
target_link_libraries(jostlepad PRIVATE jostlepad_program)
set(JP_WEB_PAGE ${CMAKE_SOURCE_DIR}/web/page)
target_link_options(jostlepad PRIVATE
  -pthread -sPROXY_TO_PTHREAD=1
  # threads start with cancellation off (web/threads.cpp)
  -Wl,--wrap=pthread_create -sALLOW_MEMORY_GROWTH=0 -sINITIAL_MEMORY=256MB
  # IS_INTRESOURCE takes any pointer below 65536 for a resource number
  -sGLOBAL_BASE=65536
  -sPTHREAD_POOL_SIZE=8 -sPTHREAD_POOL_SIZE_STRICT=0 -sTOTAL_STACK=1MB -sDEFAULT_PTHREAD_STACK_SIZE=512KB
  -sEXIT_RUNTIME=0 -sFORCE_FILESYSTEM=1 -lidbfs.js
  -sEXPORTED_RUNTIME_METHODS=FS,IDBFS,addRunDependency,removeRunDependency,UTF8ToString
  -sENVIRONMENT=web,worker -sMODULARIZE=0)
set_target_properties(jostlepad PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/out)
