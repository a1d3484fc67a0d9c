# Cross-compiles for 64-bit Windows with mingw-w64 and runs the resulting tests under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-shared.cmake)

# Static runtime: Wine has no libstdc++-6.dll, and a test missing it exits 53 without a word.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
