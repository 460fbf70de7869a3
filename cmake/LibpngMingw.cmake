# Builds libpng 1.6 from Debian's source package with the mingw toolchain, into this build tree.
set(KSP_LIBPNG_SRC ${PROJECT_SOURCE_DIR}/build/_deps/libpng-src)
if(NOT EXISTS ${KSP_LIBPNG_SRC}/png.h)
    message(STATUS "Fetching Debian's libpng source into ${KSP_LIBPNG_SRC}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-libpng-source.sh ${KSP_LIBPNG_SRC}
        RESULT_VARIABLE fetch_result)
    if(NOT fetch_result EQUAL 0)
        message(FATAL_ERROR "Could not obtain libpng's source (see scripts/fetch-libpng-source.sh)")
    endif()
endif()

find_library(KSP_MINGW_ZLIB NAMES libz.a REQUIRED)
find_path(KSP_MINGW_ZLIB_INCLUDE zlib.h REQUIRED)

set(png_generated ${CMAKE_BINARY_DIR}/_libpng)
configure_file(${KSP_LIBPNG_SRC}/scripts/pnglibconf.h.prebuilt ${png_generated}/pnglibconf.h COPYONLY)
add_library(ksp_libpng STATIC
    ${KSP_LIBPNG_SRC}/png.c ${KSP_LIBPNG_SRC}/pngerror.c ${KSP_LIBPNG_SRC}/pngget.c
    ${KSP_LIBPNG_SRC}/pngmem.c ${KSP_LIBPNG_SRC}/pngpread.c ${KSP_LIBPNG_SRC}/pngread.c
    ${KSP_LIBPNG_SRC}/pngrio.c ${KSP_LIBPNG_SRC}/pngrtran.c ${KSP_LIBPNG_SRC}/pngrutil.c
    ${KSP_LIBPNG_SRC}/pngset.c ${KSP_LIBPNG_SRC}/pngtrans.c ${KSP_LIBPNG_SRC}/pngwio.c
    ${KSP_LIBPNG_SRC}/pngwrite.c ${KSP_LIBPNG_SRC}/pngwtran.c ${KSP_LIBPNG_SRC}/pngwutil.c)
target_include_directories(ksp_libpng SYSTEM PUBLIC ${KSP_LIBPNG_SRC} ${png_generated} ${KSP_MINGW_ZLIB_INCLUDE})
target_compile_options(ksp_libpng PRIVATE -w)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    target_compile_options(ksp_libpng PRIVATE -msse2 -mfpmath=sse)
endif()
target_link_libraries(ksp_libpng PUBLIC ${KSP_MINGW_ZLIB})

add_library(ksp_png INTERFACE)
target_link_libraries(ksp_png INTERFACE ksp_libpng)
