# The hardening flags Debian builds its packages with, taken from
# dpkg-buildflags so that `cmake --install` and the package get the same
# programs. Bind-now is asked for as well: lintian looks for it.
# Optimisation and debug information stay with the build type, and a Debug
# build (the sanitizer build among them) gets none of it: _FORTIFY_SOURCE
# needs an optimising compiler.
option(KQ_HARDENING "Compile and link with the hardening flags of dpkg-buildflags" ON)
find_program(KQ_DPKG_BUILDFLAGS dpkg-buildflags)
# 1 in a build whose programs get the flags, else 0 (a generator expression).
set(KQ_HARDENED 0)
if(KQ_HARDENING AND KQ_DPKG_BUILDFLAGS AND NOT MSVC)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow ${KQ_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*)$")
    set(KQ_HARDENING_${kind} ${flags})
  endforeach()
  set(release $<NOT:$<CONFIG:Debug>>)
  set(KQ_HARDENED ${release})
  add_compile_options("$<${release}:${KQ_HARDENING_CPPFLAGS};${KQ_HARDENING_CXXFLAGS}>")
  add_link_options("$<${release}:${KQ_HARDENING_LDFLAGS}>")
  string(REPLACE ";" " " shown "${KQ_HARDENING_CPPFLAGS};${KQ_HARDENING_CXXFLAGS};${KQ_HARDENING_LDFLAGS}")
  message(STATUS "Hardening (except Debug): ${shown}")
endif()
