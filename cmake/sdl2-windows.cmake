# SDL2 for the Windows program: the static library that `tools/deps.sh sdl2-windows` builds from
# Debian's source package of the host's libsdl2-dev version, with the project's MinGW-w64
# toolchain, into a cache outside the clone. Defines SDL2::SDL2, as SDL's own package does on
# Linux, for the static library with the Windows libraries it calls, and VORTALUX_SDL2_LICENSE,
# the licence and notices the packages carry beside the program.
#
# VORTALUX_SDL2_WINDOWS_DIR (a cache variable) names the folder; by default
# ${XDG_CACHE_HOME:-$HOME/.cache}/vortalux/sdl2-<version>-mingw-w64-x86_64, <version> being the
# host's libsdl2-dev's, so the Linux and Windows programs run the same SDL.
set(vortalux_sdl2_default "")
find_program(VORTALUX_DPKG_QUERY dpkg-query)
if(VORTALUX_DPKG_QUERY)
  execute_process(COMMAND ${VORTALUX_DPKG_QUERY} -W -f=\${Version} libsdl2-dev
    OUTPUT_VARIABLE vortalux_sdl2_version ERROR_QUIET RESULT_VARIABLE failed)
  # 2.26.5+dfsg-1 -> 2.26.5
  string(REGEX REPLACE "^([0-9]+:)?([0-9.]+).*" "\\2" vortalux_sdl2_version
    "${vortalux_sdl2_version}")
  if(NOT failed AND vortalux_sdl2_version)
    if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
      set(cache_home "$ENV{XDG_CACHE_HOME}")
    else()
      set(cache_home "$ENV{HOME}/.cache")
    endif()
    set(vortalux_sdl2_default
      "${cache_home}/vortalux/sdl2-${vortalux_sdl2_version}-mingw-w64-x86_64")
  endif()
endif()
set(VORTALUX_SDL2_WINDOWS_DIR "${vortalux_sdl2_default}" CACHE PATH
  "SDL2 built for Windows (MinGW-w64, static) by tools/deps.sh sdl2-windows")

set(sdl2_library "${VORTALUX_SDL2_WINDOWS_DIR}/lib/libSDL2.a")
if(NOT VORTALUX_SDL2_WINDOWS_DIR OR NOT EXISTS "${sdl2_library}")
  message(FATAL_ERROR "SDL2 for Windows is not built (no ${sdl2_library}). Build it with\n"
    "  tools/deps.sh sdl2-windows\n"
    "(it installs what is missing and builds Debian's SDL2 source for MinGW-w64 into a cache "
    "outside the clone), then configure again; or set VORTALUX_SDL2_WINDOWS_DIR to such a build.")
endif()

add_library(SDL2::SDL2 STATIC IMPORTED)
# The libraries are those SDL's own build lists for a static link (its sdl2.pc), all Windows'.
set_target_properties(SDL2::SDL2 PROPERTIES
  IMPORTED_LOCATION "${sdl2_library}"
  INTERFACE_INCLUDE_DIRECTORIES "${VORTALUX_SDL2_WINDOWS_DIR}/include/SDL2"
  INTERFACE_LINK_LIBRARIES
    "user32;gdi32;winmm;imm32;ole32;oleaut32;version;uuid;advapi32;setupapi;shell32;dinput8")
set(VORTALUX_SDL2_LICENSE "${VORTALUX_SDL2_WINDOWS_DIR}/LICENSE-SDL2.txt")
