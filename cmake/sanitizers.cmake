# AddressSanitizer + UndefinedBehaviorSanitizer for every target of the tree.
# Any report aborts the process, so a test that provokes one fails.
if(ZARN_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "ZARN_SANITIZE is for GCC and Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# With Clang, also give libFuzzer coverage of every library the fuzz target
# calls (the target itself links the fuzzer runtime).
if(ZARN_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
