# ksp_plugin_library(TARGET OUTPUT_NAME name SOURCES... LIBS...): a VST 2.4 plug-in library
# built around formats/vst2/VstEntry.cpp. It exports VSTPluginMain and main only; on Windows it
# depends on system DLLs only.
function(ksp_plugin_library target)
    cmake_parse_arguments(arg "" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
    add_library(${target} MODULE ${PROJECT_SOURCE_DIR}/formats/vst2/VstEntry.cpp
                ${PROJECT_SOURCE_DIR}/platform/ModuleLifetime.cpp ${arg_SOURCES})
    target_link_libraries(${target} PRIVATE ${arg_LIBS} ksp_vst ksp_graphics ksp_platform ksp_core ksp_plugin_flags)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${arg_OUTPUT_NAME})
    if(MINGW)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/formats/vst2/exports.def)
    else()
        set(map ${PROJECT_SOURCE_DIR}/formats/vst2/exports.map)
        target_link_options(${target} PRIVATE -Wl,--version-script=${map})
        if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
            # Sanitizer runtimes come from the loading program, so only plain builds can insist.
            target_link_options(${target} PRIVATE -Wl,--no-undefined)
        endif()
        set_target_properties(${target} PROPERTIES LINK_DEPENDS ${map})
    endif()
endfunction()
