# 32-bit Windows build: the shipped product. It builds here but cannot run.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZARVO_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
