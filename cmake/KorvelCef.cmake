# The engine the shell is built on.
#
# Without CEF_ROOT: the development engine (engine/), as everywhere in the
# tests. With CEF_ROOT, a CEF 138 Linux binary distribution: the shell links
# its libcef and its libcef_dll_wrapper, built by the distribution's own CMake
# files; the engine's binaries and resources are copied beside the korvel
# executable, which finds libcef.so there through its run path ($ORIGIN).
# Either way the shell's libraries link the targets `cef_base` and `cef`, so
# no shell source or shell CMake file depends on the choice.
#
# KORVEL_ENGINE=development together with CEF_ROOT keeps the development
# engine and offers cef_api_check against the distribution's headers.

if(CEF_ROOT)
  set(korvel_default_engine production)
else()
  set(korvel_default_engine development)
endif()
# Not cached unless given, so that adding CEF_ROOT to a configured build
# directory switches it to the production engine.
if(NOT KORVEL_ENGINE)
  set(KORVEL_ENGINE "${korvel_default_engine}")
endif()
if(NOT KORVEL_ENGINE MATCHES "^(development|production)$")
  message(FATAL_ERROR "KORVEL_ENGINE must be development or production")
endif()
if(KORVEL_ENGINE STREQUAL "production" AND NOT CEF_ROOT)
  message(FATAL_ERROR "The production engine needs CEF_ROOT")
endif()
if(CEF_ROOT AND NOT EXISTS "${CEF_ROOT}/include/cef_app.h")
  message(FATAL_ERROR "CEF_ROOT=${CEF_ROOT} has no include/cef_app.h")
endif()

# Engine files that the shell needs beside it (the distribution's own lists,
# cef_variables.cmake). chrome-sandbox is left out: the shell runs without
# the sandbox, and a setuid helper would only widen the attack surface.
set(KORVEL_CEF_FILES "")

# Adds the engine: the engine/ directory, or the distribution's targets.
# A macro, so that the distribution's variables reach its wrapper's
# directory.
macro(korvel_add_engine)
  if(KORVEL_ENGINE STREQUAL "development")
    add_subdirectory(engine)
  else()
    # The shell runs unsandboxed (no_sandbox); see above.
    set(USE_SANDBOX OFF CACHE BOOL "Use the CEF sandbox" FORCE)
    list(APPEND CMAKE_MODULE_PATH "${CEF_ROOT}/cmake")
    find_package(CEF REQUIRED)
    add_subdirectory("${CEF_LIBCEF_DLL_WRAPPER_PATH}" libcef_dll_wrapper)

    # A minimal distribution carries Release only.
    set(korvel_cef_bin "${CEF_BINARY_DIR_RELEASE}")
    if(CMAKE_BUILD_TYPE STREQUAL "Debug" AND
       EXISTS "${CEF_BINARY_DIR_DEBUG}/libcef.so")
      set(korvel_cef_bin "${CEF_BINARY_DIR_DEBUG}")
    endif()
    if(NOT EXISTS "${korvel_cef_bin}/libcef.so")
      message(FATAL_ERROR "No libcef.so in ${korvel_cef_bin}")
    endif()
    add_library(korvel_libcef SHARED IMPORTED)
    # Linked by name, so that the executable asks for libcef.so whatever
    # the library says of itself.
    set_target_properties(korvel_libcef PROPERTIES
      IMPORTED_LOCATION "${korvel_cef_bin}/libcef.so"
      IMPORTED_NO_SONAME TRUE)

    # A stand-in library (tools/cef-stub-libcef) makes this a link check.
    file(STRINGS "${korvel_cef_bin}/libcef.so" korvel_stand_in
         LIMIT_COUNT 1 REGEX "korvel-stand-in-libcef")
    if(korvel_stand_in)
      set(KORVEL_LINK_CHECK ON)
      message(STATUS "libcef.so is a stand-in: link check, no package")
    else()
      set(KORVEL_LINK_CHECK OFF)
    endif()

    foreach(file ${CEF_BINARY_FILES})
      if(NOT file STREQUAL "chrome-sandbox")
        list(APPEND KORVEL_CEF_FILES "${korvel_cef_bin}/${file}")
      endif()
    endforeach()
    foreach(file ${CEF_RESOURCE_FILES})
      list(APPEND KORVEL_CEF_FILES "${CEF_RESOURCE_DIR}/${file}")
    endforeach()

    add_library(cef_base INTERFACE)
    target_include_directories(cef_base SYSTEM INTERFACE "${CEF_ROOT}")
    target_compile_definitions(cef_base INTERFACE ${CEF_COMPILER_DEFINES})
    target_link_libraries(cef_base
      INTERFACE libcef_dll_wrapper korvel_libcef Threads::Threads)
    find_package(X11 REQUIRED)
    add_library(cef INTERFACE)
    target_link_libraries(cef INTERFACE cef_base X11::X11)
  endif()
endmacro()

# The production engine's files beside |target|, and its run path: the
# directory it lies in, in the build tree as once installed.
function(korvel_place_engine_files target)
  if(KORVEL_ENGINE STREQUAL "development")
    return()
  endif()
  set_target_properties(${target} PROPERTIES
    INSTALL_RPATH "\$ORIGIN"
    BUILD_WITH_INSTALL_RPATH TRUE)
  set(commands "")
  foreach(path ${KORVEL_CEF_FILES})
    get_filename_component(name "${path}" NAME)
    if(IS_DIRECTORY "${path}")
      list(APPEND commands COMMAND "${CMAKE_COMMAND}" -E copy_directory
           "${path}" "$<TARGET_FILE_DIR:${target}>/${name}")
    elseif(EXISTS "${path}")
      list(APPEND commands COMMAND "${CMAKE_COMMAND}" -E copy_if_different
           "${path}" "$<TARGET_FILE_DIR:${target}>/${name}")
    elseif(NOT KORVEL_LINK_CHECK)
      message(FATAL_ERROR "The distribution lacks ${path}")
    endif()
  endforeach()
  add_custom_target(${target}_engine_files ${commands}
    COMMENT "Placing the engine's files beside ${target}" VERBATIM)
  add_dependencies(${target} ${target}_engine_files)
endfunction()

# cef_api_check: compiles every shell source (korvel_library) and every
# recorded API client (the engine test apps, development engine only)
# against the headers in CEF_ROOT instead of the development engine's, so
# that neither the shell nor the development engine's signatures drift from
# real CEF. The substitute backend is no engine client, and generated
# sources hold no engine code: neither is compiled, so the check needs
# nothing built first.
function(korvel_add_cef_api_check)
  if(NOT CEF_ROOT)
    return()
  endif()
  get_property(sources GLOBAL PROPERTY KORVEL_SHELL_SOURCES)
  get_property(clients GLOBAL PROPERTY KORVEL_API_CLIENT_SOURCES)
  set(checked "")
  foreach(src ${sources} ${clients})
    string(FIND "${src}" "${PROJECT_SOURCE_DIR}/devbackend/" in_backend)
    string(FIND "${src}" "${PROJECT_BINARY_DIR}/" generated)
    if(in_backend EQUAL -1 AND generated EQUAL -1)
      list(APPEND checked "${src}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES checked)
  find_package(nlohmann_json REQUIRED)
  add_library(cef_api_check OBJECT EXCLUDE_FROM_ALL ${checked})
  target_link_libraries(cef_api_check PRIVATE nlohmann_json::nlohmann_json)
  # The distribution's headers are not held to the shell's warning flags
  # (they leave struct members to zero-initialisation, which -Wextra flags).
  target_include_directories(cef_api_check SYSTEM BEFORE PRIVATE "${CEF_ROOT}")
  target_include_directories(cef_api_check PRIVATE "${PROJECT_SOURCE_DIR}")
  target_compile_options(cef_api_check PRIVATE ${KORVEL_WARNINGS})
  target_compile_definitions(cef_api_check PRIVATE __STDC_CONSTANT_MACROS
                                                   __STDC_FORMAT_MACROS)
endfunction()
