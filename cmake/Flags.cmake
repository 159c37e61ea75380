# Compile flags shared by every target: the same source must compute the same numbers
# on Linux x86_64, Windows i686 and Windows x86_64.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "" FORCE)
endif()

add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)

set(ZORV_WINDOWS OFF)
set(ZORV_WIN32 OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(ZORV_WINDOWS ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ZORV_WIN32 ON)
    # x87 math would round differently from the 64-bit builds; hosts built with other
    # compilers call 32-bit plug-ins with a 4-byte aligned stack, which SSE2 spills crash on.
    add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
  endif()
  # No runtime DLLs beside the plug-in: libstdc++, libgcc and winpthread go in statically.
  add_link_options(-static)
endif()

# Tests run natively and under wine64; the 32-bit Windows build is built and inspected only.
if(ZORV_WIN32)
  set(ZORV_RUN_TESTS OFF)
else()
  set(ZORV_RUN_TESTS ON)
endif()
