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
  src/platform/${QOR_PLATFORM}/startup.cpp
  src/platform/${QOR_PLATFORM}/version.cpp
)
if(QOR_PLATFORM STREQUAL "fake")
  target_sources(qor_platform PRIVATE src/platform/fake/machine.cpp)
endif()
target_include_directories(qor_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(qor_stages PUBLIC qor_platform)
if(QOR_PLATFORM STREQUAL "win32")
  target_sources(qor_platform PRIVATE src/platform/win32/system_library.cpp)
  target_link_libraries(qor_platform PUBLIC shlwapi)
endif()

# ---- payload extraction: the payload stage, the module's resources, zlib --------------------------------
target_sources(qor_stages PRIVATE
  src/payload/deploy.cpp
  src/payload/extract.cpp
  src/payload/payload_table.cpp
)
target_sources(qor_platform PRIVATE src/platform/${QOR_PLATFORM}/resources.cpp)
if(QOR_PLATFORM STREQUAL "fake")
  target_sources(qor_platform PRIVATE src/platform/fake/file_faults.cpp)
endif()
if(WIN32)
  # The static archive by its file name: a plain -lz would pick libz.dll.a and make the exe need zlib1.dll.
  find_library(QOR_ZLIB_STATIC NAMES libz.a REQUIRED)
  target_link_libraries(qor_stages PUBLIC ${QOR_ZLIB_STATIC})
else()
  find_package(ZLIB REQUIRED)
  target_link_libraries(qor_stages PUBLIC ZLIB::ZLIB)
  target_link_libraries(qor_platform PUBLIC ZLIB::ZLIB)  # the fake compresses its default payloads
endif()

# ---- firewall exception: the stage, COM and the Windows Firewall ----------------------------------------
target_sources(qor_stages PRIVATE
  src/firewall/authorized_application.cpp
  src/firewall/exception.cpp
)
target_sources(qor_platform PRIVATE src/platform/${QOR_PLATFORM}/firewall.cpp)
if(QOR_PLATFORM STREQUAL "win32")
  target_link_libraries(qor_platform PUBLIC ole32 oleaut32)
endif()

# ---- services and processes ----
target_sources(qor_stages PRIVATE
  src/services/command_line.cpp
  src/services/discovery.cpp
  src/services/payload_file.cpp
  src/services/process_termination.cpp
  src/services/registration.cpp
  src/services/same_file.cpp
  src/services/service_control.cpp
  src/services/service_list.cpp
)
target_sources(qor_platform PRIVATE
  src/platform/${QOR_PLATFORM}/command_line.cpp
  src/platform/${QOR_PLATFORM}/processes.cpp
  src/platform/${QOR_PLATFORM}/services.cpp
)
if(QOR_PLATFORM STREQUAL "win32")
  target_link_libraries(qor_platform PUBLIC advapi32 shell32)
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
