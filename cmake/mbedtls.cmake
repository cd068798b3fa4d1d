# Mbed TLS 2.28 as imported targets (the 2.28 line installs no CMake package file):
#   host:    Debian's libmbedtls-dev;
#   Windows: the static build that scripts/build-mbedtls.sh installs below QOR_MBEDTLS_ROOT.
# The targets carry their own link order: x509 needs crypto.
set(QOR_MBEDTLS_VERSION 2.28.3)

if(WIN32)
  set(QOR_MBEDTLS_ROOT /opt/qor/mbedtls-${QOR_MBEDTLS_VERSION}/${QOR_MINGW_TRIPLET} CACHE PATH
      "Mbed TLS ${QOR_MBEDTLS_VERSION} built for this architecture by scripts/build-mbedtls.sh")
  foreach(lib mbedcrypto mbedx509)
    if(NOT EXISTS ${QOR_MBEDTLS_ROOT}/lib/lib${lib}.a)
      message(FATAL_ERROR "${QOR_MBEDTLS_ROOT}/lib/lib${lib}.a is missing: run scripts/setup.sh")
    endif()
  endforeach()
  set(QOR_MBEDCRYPTO_LIBRARY ${QOR_MBEDTLS_ROOT}/lib/libmbedcrypto.a)
  set(QOR_MBEDX509_LIBRARY ${QOR_MBEDTLS_ROOT}/lib/libmbedx509.a)
  set(QOR_MBEDTLS_INCLUDE_DIR ${QOR_MBEDTLS_ROOT}/include)
else()
  find_path(QOR_MBEDTLS_INCLUDE_DIR mbedtls/x509_crt.h REQUIRED)
  find_library(QOR_MBEDCRYPTO_LIBRARY mbedcrypto REQUIRED)
  find_library(QOR_MBEDX509_LIBRARY mbedx509 REQUIRED)
  file(STRINGS ${QOR_MBEDTLS_INCLUDE_DIR}/mbedtls/version.h version_line
       REGEX "#define MBEDTLS_VERSION_STRING +\"")
  if(NOT version_line MATCHES "\"2\\.28\\.")
    message(FATAL_ERROR "Mbed TLS 2.28 is needed, found ${version_line}: install libmbedtls-dev")
  endif()
endif()

add_library(mbedtls::crypto UNKNOWN IMPORTED)
set_target_properties(mbedtls::crypto PROPERTIES
  IMPORTED_LOCATION ${QOR_MBEDCRYPTO_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QOR_MBEDTLS_INCLUDE_DIR})
if(WIN32)
  # The entropy collector's platform source is CryptGenRandom.
  set_property(TARGET mbedtls::crypto PROPERTY INTERFACE_LINK_LIBRARIES advapi32)
endif()

add_library(mbedtls::x509 UNKNOWN IMPORTED)
set_target_properties(mbedtls::x509 PROPERTIES
  IMPORTED_LOCATION ${QOR_MBEDX509_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QOR_MBEDTLS_INCLUDE_DIR}
  INTERFACE_LINK_LIBRARIES mbedtls::crypto)
