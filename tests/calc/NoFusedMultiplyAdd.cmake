# Fails when the calculation's object, built for a processor that has fused multiply-add, holds
# one: the compiler contracted a * b + c, so the dose would differ in its last bits (or, near a
# half, by a millilitre) from a build for a processor without the instruction.
# Usage: cmake -DOBJDUMP=objdump -DOBJECT=CalcDose.o -P NoFusedMultiplyAdd.cmake
execute_process(COMMAND "${OBJDUMP}" -d --no-show-raw-insn "${OBJECT}"
    OUTPUT_VARIABLE listing ERROR_VARIABLE problem RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ERROR: cannot disassemble ${OBJECT}: ${problem}")
endif()

# Without an AVX multiply the object was not built for the processor asked for, and an empty
# result below would prove nothing.
if(NOT listing MATCHES "[ \t]vmuls[sd][ \t]")
    message(FATAL_ERROR "ERROR: ${OBJECT} holds no AVX multiply; was it built with -march=x86-64-v3?")
endif()

string(REGEX MATCHALL "[ \t]vfn?m(add|sub)[a-z0-9]*" fused "${listing}")
if(fused)
    list(LENGTH fused count)
    list(REMOVE_DUPLICATES fused)
    string(REPLACE "\t" "" fused "${fused}")
    message(FATAL_ERROR "ERROR: ${count} fused multiply-adds in ${OBJECT}: ${fused}")
endif()
message(STATUS "No fused multiply-add in ${OBJECT}")
