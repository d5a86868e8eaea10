# Shared compile settings and test registration for every target.

set(KORVEL_WARNINGS -Wall -Wextra -Werror -Wno-unused-parameter)

# korvel_library(NAME SOURCES... [LIBS ...])
function(korvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KORVEL_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  # Remembered for cef_api_check, which compiles the shell against real CEF.
  foreach(src ${ARG_SOURCES})
    get_filename_component(abs "${src}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY KORVEL_SHELL_SOURCES "${abs}")
  endforeach()
endfunction()

# Sources outside the shell that use only the public engine API (the engine
# test apps, whose handler overrides pin the engine's signatures); the API
# check compiles them too.
function(korvel_record_api_clients)
  foreach(src ${ARGN})
    get_filename_component(abs "${src}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY KORVEL_API_CLIENT_SOURCES "${abs}")
  endforeach()
endfunction()

include(GoogleTest)
find_package(GTest REQUIRED)

# korvel_test(NAME LABEL unit|integration|engine|e2e SOURCES... [LIBS ...]
#             [TIMEOUT seconds] [X11] [NETNS] [PRIVATE_HOME] [OWN_MAIN])
# Registers every GoogleTest case as its own CTest test carrying LABEL.
# NETNS runs each case in a private network namespace (tests/support/netns),
# so the backend's fixed port is free and private to it. X11 runs each case on
# its own X server with a window manager (tests/support/with-x).
# PRIVATE_HOME gives it an empty home directory of its own
# (tests/support/private-home). OWN_MAIN
# leaves out gtest_main for binaries that bring their own main().
function(korvel_test name)
  cmake_parse_arguments(ARG "X11;NETNS;PRIVATE_HOME;OWN_MAIN" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
                                        Threads::Threads)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set(launcher "")
  if(ARG_PRIVATE_HOME)
    list(APPEND launcher "${PROJECT_SOURCE_DIR}/tests/support/private-home")
  endif()
  if(ARG_NETNS)
    list(APPEND launcher "${PROJECT_SOURCE_DIR}/tests/support/netns")
  endif()
  if(ARG_X11)
    list(APPEND launcher "${PROJECT_SOURCE_DIR}/tests/support/with-x")
  endif()
  # gtest_discover_tests() reads the launcher when it is called.
  if(launcher)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR "${launcher}")
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
    )
endfunction()
