# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 tool chain. The
# posix flavour of the compilers is used: its libstdc++ has std::thread and
# std::mutex. The C++ run-time, libgcc and winpthread are linked statically so
# that the programs need nothing but the DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VGX52_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VGX52_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VGX52_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VGX52_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VGX52_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows Vista and later: WSAPoll, GetTickCount64, CancelIoEx.
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX")

# Test programs run under Wine when CMake needs to run them.
find_program(VGX52_WINE wine)
if(VGX52_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VGX52_WINE})
endif()
