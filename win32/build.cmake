# The desktop Windows build (mingw-w64): the program's folders built unchanged
# against the SDK's headers, with win32/ answering the Windows CE names, the
# resources through windres, and HTCSensorSDK.dll beside the executable.
# Included from the top-level CMakeLists.txt, which defines PROGRAM_SOURCES.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE)
# No MinGW runtime DLLs to ship: the executable and the library stand alone.
set(JP_WIN32_LINK -static -static-libgcc -static-libstdc++)

file(GLOB WIN32_DEVICE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/win32/src/*.cpp)
add_library(win32_device STATIC ${WIN32_DEVICE_SOURCES})
target_include_directories(win32_device PUBLIC ${CMAKE_SOURCE_DIR}/win32/include
                           PRIVATE ${CMAKE_SOURCE_DIR}/win32/src)
target_compile_options(win32_device PRIVATE ${JP_WARNINGS})
target_link_libraries(win32_device PUBLIC windowscodecs ole32 shell32 msimg32 gdi32 user32 winmm)

set(JP_STAGE ${CMAKE_BINARY_DIR}/Jostlepad)

add_executable(jostlepad WIN32 ${PROGRAM_SOURCES} ${CMAKE_SOURCE_DIR}/resources/jostlepad.rc)
target_include_directories(jostlepad PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(jostlepad PRIVATE ${JP_WARNINGS})
target_link_libraries(jostlepad PRIVATE win32_device)
# CE's entry takes the command line as wide text: wWinMain on desktop.
target_link_options(jostlepad PRIVATE -municode ${JP_WIN32_LINK})
set_target_properties(jostlepad PROPERTIES OUTPUT_NAME Jostlepad RUNTIME_OUTPUT_DIRECTORY ${JP_STAGE})
add_custom_command(TARGET jostlepad POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${JP_STAGE}/Skin ${JP_STAGE}/Sounds
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/assets ${JP_STAGE})

# The accelerometer of a desktop: the keyboard. Undecorated names on i686 too,
# as the program looks them up by their plain names.
add_library(HTCSensorSDK SHARED ${CMAKE_SOURCE_DIR}/win32/sensor/htc_sensor.cpp)
target_compile_options(HTCSensorSDK PRIVATE ${JP_WARNINGS})
target_link_options(HTCSensorSDK PRIVATE -Wl,--kill-at ${JP_WIN32_LINK})
set_target_properties(HTCSensorSDK PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${JP_STAGE})
add_dependencies(jostlepad HTCSensorSDK)

# The device's own checks, run under Wine by tools/test-windows.sh.
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/win32/tests/*.cpp)
if(WIN32_TEST_SOURCES)
  add_executable(win32_device_tests ${WIN32_TEST_SOURCES})
  target_link_libraries(win32_device_tests PRIVATE win32_device)
  # The checks reach the device's seams (the monitor's dpi, the shell's open).
  target_include_directories(win32_device_tests PRIVATE ${CMAKE_SOURCE_DIR}/win32/src)
  target_compile_options(win32_device_tests PRIVATE ${JP_WARNINGS})
  target_link_options(win32_device_tests PRIVATE -municode ${JP_WIN32_LINK})
  set_target_properties(win32_device_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${JP_STAGE})
endif()

# The drawing cases that Wine's GDI and our device's are compared on.
add_executable(gdi_judge ${CMAKE_SOURCE_DIR}/tests/wine/gdi_cases.cpp ${CMAKE_SOURCE_DIR}/tests/wine/gdi_judge_main.cpp)
target_link_libraries(gdi_judge PRIVATE win32_device)
target_compile_options(gdi_judge PRIVATE ${JP_WARNINGS})
target_link_options(gdi_judge PRIVATE ${JP_WIN32_LINK})
set_target_properties(gdi_judge PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${JP_STAGE})
