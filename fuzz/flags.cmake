# Flags of a fuzzing build (-DKOVRIN_FUZZ=ON): everything, the tool and the
# virtual board included, gets libFuzzer's coverage hooks, ASan and UBSan,
# so a crash, a leak, an out-of-bounds read or undefined behaviour anywhere
# ends the run. Only clang has libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KOVRIN_FUZZ needs clang: -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
# The tree is kept warning-free with gcc; clang's -Wall adds the unused
# constant check, which finds nothing a fuzzer cares about.
add_compile_options(-Wno-error=unused-const-variable)
