# Fails when an object of the calculation, built for a processor that has fused multiply-add,
# holds one: the compiler contracted a * b + c, so a dose or a plan's minute would differ in its
# last bits (or, near a half, by a millilitre or a minute) from a build for a processor without
# the instruction.
# Usage: cmake -DOBJDUMP=objdump -DOBJECTS="CalcDose.o|SessionPlan.o|..." -P NoFusedMultiplyAdd.cmake
string(REPLACE "|" ";" objects "${OBJECTS}")
set(all_listings "")
set(failures "")
foreach(object IN LISTS objects)
    execute_process(COMMAND "${OBJDUMP}" -d --no-show-raw-insn "${object}"
        OUTPUT_VARIABLE listing ERROR_VARIABLE problem RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "ERROR: cannot disassemble ${object}: ${problem}")
    endif()
    string(APPEND all_listings "${listing}")
    string(REGEX MATCHALL "[ \t]vfn?m(add|sub)[a-z0-9]*" fused "${listing}")
    if(fused)
        list(LENGTH fused count)
        list(REMOVE_DUPLICATES fused)
        string(REPLACE "\t" "" fused "${fused}")
        get_filename_component(name "${object}" NAME)
        list(APPEND failures "${count} in ${name}: ${fused}")
    else()
        message(STATUS "No fused multiply-add in ${object}")
    endif()
endforeach()

# Without an AVX multiply the objects were not built for the processor asked for, and finding no
# fused multiply-add would prove nothing.
if(NOT all_listings MATCHES "[ \t]vmuls[sd][ \t]")
    message(FATAL_ERROR "ERROR: the objects hold no AVX multiply; were they built with "
                        "-march=x86-64-v3?")
endif()
if(failures)
    message(FATAL_ERROR "ERROR: fused multiply-adds: ${failures}")
endif()
