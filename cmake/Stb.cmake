# stb (Debian's libstb-dev) is header-only. Only its own folder goes on the
# include path, so the cross build never sees the rest of /usr/include;
# include its headers by file name (<stb_image.h>).
if(NOT TARGET stb)
  set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "Folder holding the stb headers")
  if(NOT EXISTS ${STB_INCLUDE_DIR}/stb_image.h)
    message(FATAL_ERROR "stb headers not found in ${STB_INCLUDE_DIR} (install libstb-dev)")
  endif()
  add_library(stb INTERFACE)
  target_include_directories(stb SYSTEM INTERFACE ${STB_INCLUDE_DIR})
endif()
