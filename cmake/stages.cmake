# The installer's stages: everything but the entry point and the platform backend. Both the Windows exe
# and the host unit tests link this same library.
add_library(qor_stages STATIC
  src/core/console.cpp
  src/core/destination.cpp
  src/core/entry.cpp
  src/core/host_os.cpp
  src/core/path.cpp
  src/core/install.cpp
  src/core/service_list.cpp
)
target_include_directories(qor_stages PUBLIC ${CMAKE_SOURCE_DIR}/src)

add_library(qor_platform STATIC
  src/platform/${QOR_PLATFORM}/clock.cpp
  src/platform/${QOR_PLATFORM}/console.cpp
  src/platform/${QOR_PLATFORM}/files.cpp
  src/platform/${QOR_PLATFORM}/last_error.cpp
  src/platform/${QOR_PLATFORM}/version.cpp
)
if(QOR_PLATFORM STREQUAL "fake")
  target_sources(qor_platform PRIVATE src/platform/fake/machine.cpp)
endif()
target_include_directories(qor_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(qor_stages PUBLIC qor_platform)
if(QOR_PLATFORM STREQUAL "win32")
  target_link_libraries(qor_platform PUBLIC shlwapi)
endif()

# ---- default certificate: the certificate stage, the runtime's file streams, Mbed TLS -------------------
include(${CMAKE_CURRENT_LIST_DIR}/mbedtls.cmake)
target_sources(qor_stages PRIVATE
  src/cert/default_certificate.cpp
  src/cert/pem_file.cpp
  src/cert/self_signed.cpp
)
target_sources(qor_platform PRIVATE src/platform/${QOR_PLATFORM}/text_file.cpp)
target_link_libraries(qor_stages PUBLIC mbedtls::x509)
