# Helpers for the engine test directories (tests/engine_*): include this
# file, then declare apps and the tests that run them.
include_guard(GLOBAL)

# engine_test_app(NAME SOURCES... [LIBS ...])
# An engine application driven by tests, with the apps' shared plumbing
# (event lines, stdin commands, engine start and end). Apps use only the
# public API, so cef_api_check compiles them against real CEF as well.
function(engine_test_app name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KORVEL_WARNINGS})
  target_link_libraries(${name} PRIVATE engine_test_app_support ${ARG_LIBS})
  korvel_record_api_clients(${ARG_SOURCES})
endfunction()

# engine_test_runs(TEST MACRO APP [MACRO APP ...])
# TEST (a korvel_test) knows the path of each APP as the string macro MACRO
# and is built after it.
function(engine_test_runs test)
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs macro app)
    target_compile_definitions(${test} PRIVATE
      "${macro}=\"$<TARGET_FILE:${app}>\"")
    add_dependencies(${test} ${app})
  endwhile()
endfunction()
