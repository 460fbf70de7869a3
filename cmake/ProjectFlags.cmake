# Flags shared by every target, and the stricter set for code that runs inside a host.

if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
endif()
# Reproducible numbers: -O2, no contraction into fused multiply-adds, no fast-math, no -march.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

add_library(ksp_warnings INTERFACE)
target_compile_options(ksp_warnings INTERFACE -Wall -Wextra -Werror -ffp-contract=off)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    # The x87 unit rounds differently; SSE2 gives the same doubles as the 64-bit builds.
    target_compile_options(ksp_warnings INTERFACE -msse2 -mfpmath=sse)
endif()

# Code that is loaded into a host's process: no exceptions, nothing visible but the entry points.
add_library(ksp_plugin_flags INTERFACE)
target_link_libraries(ksp_plugin_flags INTERFACE ksp_warnings)
target_compile_options(ksp_plugin_flags INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fvisibility-inlines-hidden> -fvisibility=hidden)
target_include_directories(ksp_plugin_flags INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
    target_compile_definitions(ksp_plugin_flags INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(MINGW)
    # Depend on system DLLs only: the runtime libraries go into each binary.
    string(APPEND CMAKE_EXE_LINKER_FLAGS " -static")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static")
    string(APPEND CMAKE_MODULE_LINKER_FLAGS " -static")
endif()

# ksp_component(NAME SOURCES...): a static library of plug-in code.
function(ksp_component name)
    add_library(${name} STATIC ${ARGN})
    target_link_libraries(${name} PUBLIC ksp_plugin_flags)
endfunction()

# Where this target's deliverables go below dist/.
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    set(KSP_DIST_DIR windows-x86)
elseif(WIN32)
    set(KSP_DIST_DIR windows-x86_64)
else()
    set(KSP_DIST_DIR linux-x86_64)
endif()
