# The installer exe for Windows: optimised, linked fully static so that it imports system DLLs only.
add_executable(qor-installer src/core/main.cpp)
target_link_libraries(qor-installer PRIVATE qor_stages)
target_link_options(qor-installer PRIVATE -static -static-libgcc -static-libstdc++ -s)
