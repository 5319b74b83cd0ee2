# Boost for the win32 tree: headers from the host's 1.74, the two compiled libraries built once
# from Debian's source package into a cache outside the source tree (KESTOR_CACHE_DIR).
if(DEFINED ENV{KESTOR_CACHE_DIR})
  set(_kestor_cache_default $ENV{KESTOR_CACHE_DIR})
else()
  set(_kestor_cache_default $ENV{HOME}/.cache/kestor)
endif()
set(KESTOR_CACHE_DIR ${_kestor_cache_default} CACHE PATH "Cache for the MinGW Boost build")

execute_process(
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/build-boost-mingw.sh ${KESTOR_CACHE_DIR} ${KESTOR_MINGW_TRIPLE}
  RESULT_VARIABLE _boost_result)
if(NOT _boost_result EQUAL 0)
  message(FATAL_ERROR "Building Boost for MinGW failed")
endif()

set(_boost ${KESTOR_CACHE_DIR}/${KESTOR_MINGW_TRIPLE})
add_library(Boost::headers INTERFACE IMPORTED)
set_target_properties(Boost::headers PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${_boost}/include
  INTERFACE_COMPILE_DEFINITIONS "BOOST_ALL_NO_LIB")
# The headers are the host's: treat them as system headers so their warnings stay out of ours.
set_target_properties(Boost::headers PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${_boost}/include)

add_library(Boost::serialization STATIC IMPORTED)
set_target_properties(Boost::serialization PROPERTIES
  IMPORTED_LOCATION ${_boost}/lib/libboost_serialization.a
  INTERFACE_LINK_LIBRARIES Boost::headers)
add_library(Boost::filesystem STATIC IMPORTED)
set_target_properties(Boost::filesystem PROPERTIES
  IMPORTED_LOCATION ${_boost}/lib/libboost_filesystem.a
  INTERFACE_LINK_LIBRARIES "Boost::headers;advapi32")
