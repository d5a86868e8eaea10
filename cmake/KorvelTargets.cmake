# Shared compile settings and test registration for every target.

set(KORVEL_WARNINGS -Wall -Wextra -Werror -Wno-unused-parameter)

# korvel_library(NAME SOURCES... [LIBS ...])
function(korvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KORVEL_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

include(GoogleTest)
find_package(GTest REQUIRED)

# korvel_test(NAME LABEL unit|integration|engine|e2e SOURCES... [LIBS ...]
#             [TIMEOUT seconds] [X11])
# Registers every GoogleTest case as its own CTest test carrying LABEL. X11
# runs the binary inside tests/support/with-x (Xvfb plus openbox).
function(korvel_test name)
  cmake_parse_arguments(ARG "X11" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL MATCHES "^(unit|integration|engine|e2e)$")
    message(FATAL_ERROR "korvel_test(${name}): LABEL must be unit, integration, engine or e2e")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KORVEL_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock
                                        GTest::gtest_main Threads::Threads)
  set(launcher "")
  if(ARG_X11)
    set(launcher "${PROJECT_SOURCE_DIR}/tests/support/with-x")
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
    )
  if(ARG_X11)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR "${launcher}")
  endif()
endfunction()
