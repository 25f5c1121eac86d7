# The image record, the four readers and the qorx-image tool.
qorx_add_test(image_tests
  image/TgaImageTest.cpp
  image/JpegImageTest.cpp
  image/TiffImageTest.cpp
  image/PngImageTest.cpp
  image/DecodeBudgetTest.cpp
  image/QorxImageToolTest.cpp)
target_link_libraries(image_tests PRIVATE qorx_image qorx_test_support ZLIB::ZLIB)
target_compile_definitions(image_tests PRIVATE QORX_IMAGE_TOOL="$<TARGET_FILE:qorx-image>")
add_dependencies(image_tests qorx-image)

# The PNG reader on libpng's and Pillow's test pictures, against ImageMagick.
add_test(NAME png_corpus_test COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/image/png-corpus $<TARGET_FILE:qorx-image>)
set_tests_properties(png_corpus_test PROPERTIES TIMEOUT 900)
