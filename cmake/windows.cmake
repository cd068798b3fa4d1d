# The installer exe for Windows: optimised, linked fully static so that it imports system DLLs only.
add_executable(qor-installer src/core/main.cpp src/core/installer.rc)
target_link_libraries(qor-installer PRIVATE qor_stages)
target_link_options(qor-installer PRIVATE -static -static-libgcc -static-libstdc++ -s)

# End-to-end tests: the x86_64 exe under Wine (32-bit code cannot run on these machines).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  enable_testing()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  # One CTest entry per test file; the faults that need a privilege to stage get one entry per class, so
  # that a case the machine cannot stage shows as skipped on its own instead of hiding in a passed file.
  file(GLOB QOR_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
  list(FILTER QOR_E2E_TESTS EXCLUDE REGEX "test_staged_faults")
  set(QOR_E2E_ENTRIES "")
  foreach(test_file ${QOR_E2E_TESTS})
    get_filename_component(test_name ${test_file} NAME_WE)
    add_test(NAME e2e_${test_name}
             COMMAND ${Python3_EXECUTABLE} -m unittest -v ${test_name}
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
    list(APPEND QOR_E2E_ENTRIES e2e_${test_name})
  endforeach()
  foreach(staged ImmutableFile ReadOnlyDrive FullDrive)
    add_test(NAME e2e_staged_${staged}
             COMMAND ${Python3_EXECUTABLE} -m unittest -v test_staged_faults.${staged}
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
    set_tests_properties(e2e_staged_${staged} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped 'SKIP: ")
    list(APPEND QOR_E2E_ENTRIES e2e_staged_${staged})
  endforeach()
  set_tests_properties(${QOR_E2E_ENTRIES} PROPERTIES LABELS e2e TIMEOUT 900
    ENVIRONMENT "QOR_INSTALLER=$<TARGET_FILE:qor-installer>;QOR_E2E_WORK=${CMAKE_BINARY_DIR}/e2e")

  # An exe that imports version.dll the ordinary way: the import check must reject it.
  add_executable(e2e_version_user tests/e2e/version_user.cpp)
  target_link_libraries(e2e_version_user PRIVATE version)
  target_link_options(e2e_version_user PRIVATE -static -static-libgcc -static-libstdc++)
  add_dependencies(qor-installer e2e_version_user)
endif()

# Build checks of both Windows exes: system DLLs only in the import table; manifest, version information and
# console subsystem read back from the file.
enable_testing()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME imports COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_imports.py
         ${CMAKE_OBJDUMP} $<TARGET_FILE:qor-installer>)
add_test(NAME resources COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_resources.py
         $<TARGET_FILE:qor-installer>)
set_tests_properties(imports PROPERTIES LABELS imports)
set_tests_properties(resources PROPERTIES LABELS resources)
if(TARGET e2e_version_user)
  # The import check must catch an exe that imports version.dll.
  add_test(NAME imports_catches_version_dll COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_imports.py
           ${CMAKE_OBJDUMP} $<TARGET_FILE:e2e_version_user>)
  set_tests_properties(imports_catches_version_dll PROPERTIES LABELS imports WILL_FAIL TRUE)
endif()

# ---- the embedded payloads --------------------------------------------------------------------------------
include(cmake/payload.cmake)
