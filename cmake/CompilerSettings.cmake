# Warnings, floating-point model and runtime linking shared by every target.

add_compile_options(-Wall -Wextra)
if(VORNHALT_WERROR)
  add_compile_options(-Werror)
endif()

# The 32-bit Windows build computes with SSE2 like every other target, so all
# targets produce the same floats. Hosts may call in with a 4-byte-aligned
# stack, hence the realignment.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
endif()

# No contraction into fused multiply-add: the arithmetic order is the contract.
add_compile_options(-ffp-contract=off)

if(MINGW)
  # A plug-in DLL must depend on system DLLs only.
  add_link_options(-static-libgcc -static-libstdc++)
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static")
  set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static")
  set(CMAKE_MODULE_LINKER_FLAGS "${CMAKE_MODULE_LINKER_FLAGS} -static")
endif()

set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
