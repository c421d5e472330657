# Installs the build into PREFIX and checks the tree a user gets: the
# programs run from bin/, the examples, the desktop entry and the icon.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

execute_process(COMMAND "${PREFIX}/bin/kalvex-batch" --version RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out STREQUAL "kalvex-batch ${VERSION}\n")
  message(FATAL_ERROR "installed kalvex-batch --version: exit ${result}, '${out}'")
endif()

# The installed example runs with the installed program.
set(examples "${PREFIX}/share/kalvex/examples")
execute_process(COMMAND "${PREFIX}/bin/kalvex-batch" eval --species 2 --data "${examples}/two_species.dat"
                        --alg "${examples}/two_species.alg"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT out MATCHES "^objective " OR NOT err STREQUAL "")
  message(FATAL_ERROR "installed example: exit ${result}, '${out}', '${err}'")
endif()

set(expected "share/doc/Kalvex/LICENSE" "share/doc/Kalvex/guide.md" "share/doc/Kalvex/images/bivariate.png")
if(GUI)
  list(APPEND expected bin/kalvex share/applications/kalvex.desktop share/icons/hicolor/scalable/apps/kalvex.svg)
endif()
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
