# Host build: the stages against the simulated Windows, and their unit tests.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB QOR_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${QOR_UNIT_TESTS} tests/unit/console_expect.cpp)
target_link_libraries(unit_tests PRIVATE qor_stages GTest::gtest_main)
gtest_discover_tests(unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

# ---- extraction benchmark: not a test; run it by hand (see README) ----------------------------------------
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(extract_bench bench/extract_bench.cpp bench/posix_platform.cpp src/payload/extract.cpp)
  target_include_directories(extract_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(extract_bench PRIVATE QOR_PACK_TOOL="${CMAKE_SOURCE_DIR}/tools/pack_payload.py")
  target_compile_options(extract_bench PRIVATE -O2)
  target_link_libraries(extract_bench PRIVATE benchmark::benchmark ZLIB::ZLIB)
endif()
