# Turns resources/<id>_<name>.bmp and .ico into a C++ table the executable
# carries, as the resource compiler does on the platform.
# Usage: cmake -DDIR=<resources folder> -DOUT=<generated .cpp> -P embed-resources.cmake
file(GLOB files ${DIR}/*.bmp ${DIR}/*.ico)
list(SORT files)
set(arrays "")
set(entries "")
foreach(f ${files})
  get_filename_component(name ${f} NAME)
  get_filename_component(ext ${f} EXT)
  string(REGEX MATCH "^[0-9]+" id ${name})
  if(id STREQUAL "")
    message(FATAL_ERROR "resource ${name} does not start with its number")
  endif()
  if(ext STREQUAL ".ico")
    set(kind Icon)
  else()
    set(kind Bitmap)
  endif()
  file(READ ${f} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char kResource${id}[] = {\n${bytes}};\n")
  string(APPEND entries "    {wce::ResourceKind::${kind}, ${id}, kResource${id}, sizeof(kResource${id})},\n")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from resources/ by tools/embed-resources.cmake; do not edit.
#include \"device/device.h\"

namespace {
${arrays}}  // namespace

extern const wce::EmbeddedResource kProgramResources[] = {
${entries}};
extern const size_t kProgramResourceCount = sizeof(kProgramResources) / sizeof(kProgramResources[0]);
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
