# The product: 32-bit Windows, MinGW-w64 i686 with the posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTOR_MINGW_TRIPLE i686-w64-mingw32)
set(KESTOR_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
