# Renders the example material through every factory program twice: with the Linux host and
# plug-in, and with the Windows host and DLL under Wine. Both builds must give the same samples.
# Run with cmake -P and -D LINUX_HOST, LINUX_PLUGIN, WINDOWS_HOST, WINDOWS_PLUGIN, WINE_RUN,
# WINE_PREFIX and WORK_DIR.
foreach(file ${LINUX_HOST} ${LINUX_PLUGIN})
    if(NOT EXISTS ${file})
        message("SKIPPED: ${file} is not built (build the linux preset first)")
        return()
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Output goes to files, not pipes: Wine's server inherits them and outlives each program.
function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE result
                    OUTPUT_FILE ${WORK_DIR}/stdout.txt ERROR_FILE ${WORK_DIR}/stderr.txt)
    if(NOT result EQUAL 0)
        file(READ ${WORK_DIR}/stderr.txt errors)
        message(FATAL_ERROR "failed (${result}): ${ARGN}\n${errors}")
    endif()
endfunction()

function(expect_same a b what)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/${a} ${WORK_DIR}/${b} RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${what}: the Linux and Windows builds differ (${a}, ${b})")
    endif()
endfunction()

set(windows ${WINE_RUN} ${WINE_PREFIX} ${WINDOWS_HOST})

run(${LINUX_HOST} example example-linux.f32 --seconds 3)

set(cases "0" "1" "2" "3" "4" "5" "6" "7" "8" "9")
foreach(program RANGE 9)
    set(options_${program} --program ${program})
endforeach()
# Tempo-synchronised, in double precision and odd blocks.
list(APPEND cases sync)
set(options_sync --program 2 --set "Sync to Host=on" --set LFOSpeed=1/8 --tempo 133 --playing
    --precision double --block 100)

# The Windows renders run one after the other, so Wine's server stays up in between.
foreach(case ${cases})
    run(${LINUX_HOST} render ${LINUX_PLUGIN} example-linux.f32 linux-${case}.f32 ${options_${case}})
endforeach()
foreach(case ${cases})
    run(${windows} render ${WINDOWS_PLUGIN} example-linux.f32 windows-${case}.f32 ${options_${case}})
endforeach()
run(${windows} example example-windows.f32 --seconds 3)
expect_same(example-linux.f32 example-windows.f32 "example material")
foreach(case ${cases})
    expect_same(linux-${case}.f32 windows-${case}.f32 "${options_${case}}")
endforeach()
message("Linux and Windows builds agree on ${cases}")
