# Compiler settings shared by every target of ours (not by GoogleTest's):
# standard C++20 without extensions (CMAKE_CXX_EXTENSIONS is off), so that
# the code builds with any conforming compiler, MSVC included.

add_library(inkswap_options INTERFACE)
target_compile_options(inkswap_options INTERFACE
  -Wall -Wextra -pedantic-errors -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
target_include_directories(inkswap_options INTERFACE ${CMAKE_SOURCE_DIR}/src)

# The sanitizers are kept apart so that benchmarks can build the same
# sources without them.
add_library(inkswap_sanitizers INTERFACE)
if(INKSWAP_FUZZ)
  # Coverage for libFuzzer in every object; the fuzz targets link the
  # fuzzer's main themselves.
  target_compile_options(inkswap_sanitizers INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(inkswap_sanitizers INTERFACE -fsanitize=address,undefined)
elseif(INKSWAP_SANITIZE)
  target_compile_options(inkswap_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(inkswap_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# Links one of our executables with the shared settings.
function(inkswap_target_options target)
  target_link_libraries(${target} PRIVATE inkswap_options inkswap_sanitizers)
endfunction()
