# Host build: the stages against the simulated Windows, and their unit tests.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB QOR_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${QOR_UNIT_TESTS} tests/unit/console_expect.cpp)
target_link_libraries(unit_tests PRIVATE qor_stages GTest::gtest_main)
gtest_discover_tests(unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
