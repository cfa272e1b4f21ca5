# 64-bit Windows build: the one that runs here, under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZARVO_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
