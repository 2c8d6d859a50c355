# VANTRIX_FUZZ=ON (clang only) builds every target with libFuzzer's coverage hooks,
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets as libFuzzer programs.
# Any sanitizer report aborts, so the fuzzer keeps the input that caused it.
option(VANTRIX_FUZZ "Build the libFuzzer programs (needs clang)" OFF)
if(VANTRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VANTRIX_FUZZ needs clang: configure a fresh build folder with CC=clang CXX=clang++")
  endif()
  if(VANTRIX_SANITIZE)
    message(FATAL_ERROR "VANTRIX_FUZZ brings its own sanitizers: leave VANTRIX_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
