# libFuzzer targets for the JPEG and GIF readers (clang only). The readers are
# compiled into each target so that they carry the sanitizers too.
set(_jpeggif_src ${PROJECT_SOURCE_DIR}/src/imaging)
set(_jpeggif_flags -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)

add_executable(gif_fuzz ${CMAKE_CURRENT_LIST_DIR}/gif_fuzz.cpp ${_jpeggif_src}/GifImage.cpp
               ${_jpeggif_src}/GifLzw.cpp ${_jpeggif_src}/Bitmap.cpp)
add_executable(jpeg_fuzz ${CMAKE_CURRENT_LIST_DIR}/jpeg_fuzz.cpp ${_jpeggif_src}/JpegImage.cpp
               ${_jpeggif_src}/Bitmap.cpp)
target_link_libraries(jpeg_fuzz PRIVATE JPEG::JPEG)
foreach(target gif_fuzz jpeg_fuzz)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE ${_jpeggif_flags})
  target_link_options(${target} PRIVATE ${_jpeggif_flags})
endforeach()
