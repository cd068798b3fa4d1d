# libFuzzer targets: the same stage and simulated-Windows libraries the unit tests link, compiled by clang
# with coverage instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer. Each target replays its
# named seeds (tests/fuzz/seeds/<target>) and the corpus fuzzing kept (tests/fuzz/corpus/<target>) as a test;
# scripts/fuzz.sh runs one for a chosen time.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "QOR_FUZZ needs clang's libFuzzer: configure with the fuzz preset")
endif()

# Any undefined behaviour must stop the run, so that libFuzzer keeps the input that caused it.
set(QOR_FUZZ_COMMON_FLAGS -fno-sanitize-recover=all -fno-omit-frame-pointer)

# The libraries get the instrumentation without libFuzzer's main; only the targets link it.
foreach(library qor_stages qor_platform)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined ${QOR_FUZZ_COMMON_FLAGS})
endforeach()

# A target from tests/fuzz/<source>, and the test that replays its inputs with the limits a fuzzing run uses
# (tests/fuzz/<target>.flags, which scripts/fuzz.sh reads too).
function(qor_fuzz_target target source)
  add_executable(${target} tests/fuzz/${source})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined ${QOR_FUZZ_COMMON_FLAGS})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${target} PRIVATE qor_stages)
  file(STRINGS ${CMAKE_SOURCE_DIR}/tests/fuzz/${target}.flags limits REGEX "^-")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/${target}.flags)
  # -runs=0: every file once, no mutation, so nothing is written back into the folders.
  add_test(NAME ${target}_corpus
           COMMAND ${target} -runs=0 ${limits} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${target}
                   ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${target})
  set_tests_properties(${target}_corpus PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

find_package(ZLIB REQUIRED)
qor_fuzz_target(fuzz_extract extract_fuzz.cpp)
target_link_libraries(fuzz_extract PRIVATE ZLIB::ZLIB)  # the independent decoder the stage is checked against
qor_fuzz_target(fuzz_command_line command_line_fuzz.cpp)
