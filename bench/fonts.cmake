# Value texts drawn and measured from the glyph cache.
add_executable(text_bench ${CMAKE_CURRENT_LIST_DIR}/TextBench.cpp)
target_link_libraries(text_bench PRIVATE ksp_raster benchmark::benchmark_main ksp_warnings)
