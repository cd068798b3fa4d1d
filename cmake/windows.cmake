# The installer exe for Windows: optimised, linked fully static so that it imports system DLLs only.
add_executable(qor-installer src/core/main.cpp src/core/installer.rc)
target_link_libraries(qor-installer PRIVATE qor_stages)
target_link_options(qor-installer PRIVATE -static -static-libgcc -static-libstdc++ -s)

# End-to-end tests: the x86_64 exe under Wine (32-bit code cannot run on these machines).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  enable_testing()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  file(GLOB QOR_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
  foreach(test_file ${QOR_E2E_TESTS})
    get_filename_component(test_name ${test_file} NAME_WE)
    add_test(NAME e2e_${test_name}
             COMMAND ${Python3_EXECUTABLE} -m unittest -v ${test_name}
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
    set_tests_properties(e2e_${test_name} PROPERTIES LABELS e2e TIMEOUT 900
      ENVIRONMENT "QOR_INSTALLER=$<TARGET_FILE:qor-installer>;QOR_E2E_WORK=${CMAKE_BINARY_DIR}/e2e")
  endforeach()
endif()

# ---- the embedded payloads --------------------------------------------------------------------------------
include(cmake/payload.cmake)
