# Tests, benchmarks and tools.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB KONSOLION_TEST_SOURCES CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/tests/support/*.cpp")
add_executable(konsolion_tests ${KONSOLION_TEST_SOURCES})
set_source_files_properties(${KONSOLION_TEST_SOURCES} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion_tests PRIVATE konsolion_core GTest::gtest)
target_compile_definitions(konsolion_tests PRIVATE KONSOLION_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
gtest_discover_tests(konsolion_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)

# The artwork generator (scripts/make-artwork runs it).
juce_add_console_app(konsolion-artwork PRODUCT_NAME "konsolion-artwork")
target_sources(konsolion-artwork PRIVATE
    resources/artwork/ArtworkGenerator.cpp
    resources/artwork/KeyboardArtwork.cpp)
set_source_files_properties(resources/artwork/ArtworkGenerator.cpp resources/artwork/KeyboardArtwork.cpp
    PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-artwork PRIVATE konsolion_core)

# Benchmarks: wall-clock medians against floors measured in the same run.
juce_add_console_app(konsolion-bench PRODUCT_NAME "konsolion-bench")
file(GLOB KONSOLION_BENCH_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/bench/*.cpp")
target_sources(konsolion-bench PRIVATE ${KONSOLION_BENCH_SOURCES})
set_source_files_properties(${KONSOLION_BENCH_SOURCES} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-bench PRIVATE konsolion_core)
