# Build helpers shared by every folder of the project.

option(Q350_WERROR "Treat compiler warnings as errors" OFF)
option(Q350_BUILD_TESTS "Build the tests" ON)
# A build made for the tests trusts the test signing key (tests/keys) besides the release key and
# honours the tests' ways in: plain http from the update server, Q350_UPDATE_SERVER. A build whose
# installer is shipped has it off.
option(Q350_TRUST_TEST_KEY "Trust the test signing key and the test-only update overrides"
       ${Q350_BUILD_TESTS})

set(Q350_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
    -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations)

# Folder for files generated at build time (pictures, icons, version header).
set(Q350_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${Q350_GENERATED_DIR})

# Common settings for every target of the project.
function(q350_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${Q350_GENERATED_DIR})
  get_target_property(_type ${target} TYPE)
  if(NOT _type STREQUAL "INTERFACE_LIBRARY")
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX,C>:${Q350_WARNINGS}>)
    if(Q350_WERROR)
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX,C>:-Werror>)
    endif()
  endif()
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                               _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# q350_library(NAME SOURCES... [LIBS ...]): a static library of the project. Without sources it is
# an interface library, so that folders not built yet can already be linked against.
function(q350_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(A_SOURCES)
    add_library(${name} STATIC ${A_SOURCES})
    q350_target_defaults(${name})
    if(A_LIBS)
      target_link_libraries(${name} PUBLIC ${A_LIBS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR} ${Q350_GENERATED_DIR})
    target_compile_features(${name} INTERFACE cxx_std_20)
    if(A_LIBS)
      target_link_libraries(${name} INTERFACE ${A_LIBS})
    endif()
  endif()
endfunction()

# Windows programs and DLLs: Unicode entry points, no mingw runtime DLLs beside them.
# Programs enter at wWinMain or wmain; test programs keep GoogleTest's main (CONSOLE_MAIN).
function(q350_windows_binary target)
  cmake_parse_arguments(A "CONSOLE_MAIN" "" "" ${ARGN})
  q350_target_defaults(${target})
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "EXECUTABLE" AND NOT A_CONSOLE_MAIN)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()

# q350_native_test(NAME SOURCES... LIBS ...): a GoogleTest program run natively by ctest.
function(q350_native_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  q350_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "Q350_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# q350_win_test(NAME SOURCES... LIBS ...): a GoogleTest program of the 64-bit Windows build,
# run under Wine by ctest (one ctest entry for the whole program).
function(q350_win_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  q350_windows_binary(${name} CONSOLE_MAIN)
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest gmock gtest_main)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
                         ENVIRONMENT "Q350_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()

# q350_wine_script_test(NAME SCRIPT [ARGS...]): a shell script that drives Windows programs under
# Wine (whole-program tests). The script gets the build folder and finds the harness through
# Q350_WINE_RUN.
function(q350_wine_script_test name script)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tools/wine/wine-script.sh ${script}
                                  ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900
      ENVIRONMENT "Q350_SOURCE_DIR=${PROJECT_SOURCE_DIR};Q350_BUILD_DIR=${CMAKE_BINARY_DIR};Q350_WINE_RUN=${CMAKE_CROSSCOMPILING_EMULATOR};Q350_WINE_TOOLS=${PROJECT_SOURCE_DIR}/tools/wine")
  endif()
endfunction()

# Adds every direct sub-folder of the current folder that has a CMakeLists.txt.
function(q350_add_subfolders)
  file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _children)
  foreach(_child IN LISTS _children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endfunction()
