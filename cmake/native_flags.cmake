# Native build options, before any target exists so that every layer takes them.
option(LUMETTA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(LUMETTA_FUZZ "Build only the libFuzzer targets (clang)" OFF)
set(LUMETTA_FUZZ_RUNS 100000 CACHE STRING "Runs per fuzz target in the test suite")

if(LUMETTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
