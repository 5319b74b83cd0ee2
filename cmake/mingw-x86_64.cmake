# The same sources for 64-bit Windows. Machines whose kernel cannot execute 32-bit code (no
# IA-32 compatibility mode, so no 32-bit Wine) run the Windows tests from this tree instead.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(KESTOR_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
