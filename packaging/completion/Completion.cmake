# Bash completion for kqtool and kqradio: one script, installed under each
# program's name where bash-completion loads it on first use.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(KQ_BASH_COMPLETIONS bash-completion completionsdir)
endif()
# Relative to the install prefix, so that a package or a private prefix gets
# its own copy: bash-completion's folder is used when it lies under it.
if(KQ_BASH_COMPLETIONS AND KQ_BASH_COMPLETIONS MATCHES "^${CMAKE_INSTALL_PREFIX}/")
  file(RELATIVE_PATH KQ_BASH_COMPLETIONS ${CMAKE_INSTALL_PREFIX} ${KQ_BASH_COMPLETIONS})
else()
  set(KQ_BASH_COMPLETIONS ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
foreach(program kqtool kqradio)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/kq-tools.bash DESTINATION ${KQ_BASH_COMPLETIONS}
          RENAME ${program})
endforeach()
