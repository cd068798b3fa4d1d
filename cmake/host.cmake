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

# ---- key and certificate timing: one run of the certificate stage as a whole process (see README) --------
add_executable(cert_once bench/cert_once.cpp)
target_link_libraries(cert_once PRIVATE qor_stages)

# ---- default certificate: the unit tests watch the stage's Mbed TLS calls (tests/unit/mbedtls_trace.h) ------
target_sources(unit_tests PRIVATE tests/unit/mbedtls_trace.cpp tests/unit/certificate_inspect.cpp)
foreach(call
    mbedtls_pk_init mbedtls_pk_info_from_type mbedtls_pk_setup mbedtls_pk_free
    mbedtls_ctr_drbg_init mbedtls_ctr_drbg_seed mbedtls_ctr_drbg_free mbedtls_entropy_init mbedtls_entropy_free
    mbedtls_rsa_gen_key mbedtls_pk_write_key_pem
    mbedtls_x509write_crt_init mbedtls_x509write_crt_free mbedtls_mpi_init mbedtls_mpi_free mbedtls_mpi_read_string
    mbedtls_x509write_crt_set_subject_key mbedtls_x509write_crt_set_issuer_key
    mbedtls_x509write_crt_set_subject_name mbedtls_x509write_crt_set_issuer_name
    mbedtls_x509write_crt_set_version mbedtls_x509write_crt_set_md_alg mbedtls_x509write_crt_set_serial
    mbedtls_x509write_crt_set_validity mbedtls_x509write_crt_set_basic_constraints
    mbedtls_x509write_crt_set_subject_key_identifier mbedtls_x509write_crt_set_authority_key_identifier
    mbedtls_x509write_crt_set_key_usage mbedtls_x509write_crt_pem)
  target_link_options(unit_tests PRIVATE -Wl,--wrap=${call})
endforeach()
