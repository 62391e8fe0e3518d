# How a Linux plug-in library is linked, whatever its format: it exports only what its
# export map names, leaves nothing unresolved, keeps the static libraries' symbols hidden,
# and carries its own C++ runtime so it never clashes with the host's (sanitizer builds keep
# the shared one: their runtimes need it to intercept allocation).
# WINDOWING: the library draws with Xlib and cairo, which keep process-wide state (display
# hooks, caches) that must not vanish when a host closes it: it is never unloaded.
function(krv_plugin_link_options target exports_map)
  cmake_parse_arguments(PARSE_ARGV 2 option "WINDOWING" "" "")
  if(option_WINDOWING)
    target_link_options(${target} PRIVATE -Wl,-z,nodelete)
  endif()
  target_link_options(${target} PRIVATE -Wl,--version-script=${exports_map}
    -Wl,--no-undefined -Wl,--exclude-libs,ALL)
  if(NOT KRV_SANITIZE)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports_map})
endfunction()
