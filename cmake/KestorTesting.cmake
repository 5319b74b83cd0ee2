# Test helpers shared by both build trees.
#
# kestor_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ARGS <args...>]
#                 [TIMEOUT <seconds>] [LABELS <labels...>] [NO_GTEST])
# builds one test program and registers it with ctest. In the win32 tree the program runs under
# Wine through the emulator, inside the build tree's own prefix, after the "wine" fixture has
# started the virtual display and the wineserver.
enable_testing()

if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

set(KESTOR_WINE_DIR ${CMAKE_BINARY_DIR}/wine)

if(KESTOR_WIN32)
  add_test(NAME wine.start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh start ${KESTOR_WINE_DIR} ${KESTOR_WINE_LOADER})
  add_test(NAME wine.stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh stop ${KESTOR_WINE_DIR} ${KESTOR_WINE_LOADER})
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

function(kestor_test_properties name)
  cmake_parse_arguments(P "" "TIMEOUT" "LABELS" ${ARGN})
  if(NOT P_TIMEOUT)
    set(P_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${P_TIMEOUT})
  if(P_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${P_LABELS}")
  endif()
  if(KESTOR_WIN32)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine
      ENVIRONMENT "KESTOR_WINE_DIR=${KESTOR_WINE_DIR};KESTOR_WINE_LOADER=${KESTOR_WINE_LOADER}")
  endif()
endfunction()

function(kestor_add_test name)
  cmake_parse_arguments(T "NO_GTEST" "TIMEOUT" "SOURCES;LIBS;ARGS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  if(NOT T_NO_GTEST)
    target_link_libraries(${name} PRIVATE GTest::gmock GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
  kestor_test_properties(${name} TIMEOUT "${T_TIMEOUT}" LABELS "${T_LABELS}")
endfunction()
