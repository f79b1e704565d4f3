# Tests, benchmarks and tools.
enable_testing()
if(CMAKE_CROSSCOMPILING)
    # No googletest for the target system to find: built here from Debian's sources (as GTest::gtest).
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Helpers shared by the tests, the benchmarks and the fuzz targets (header only).
add_library(konsolion_testing INTERFACE)
target_link_libraries(konsolion_testing INTERFACE konsolion_simulator)

file(GLOB KONSOLION_TEST_SOURCES CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/tests/support/*.cpp")
konsolion_keep_platform_sources(KONSOLION_TEST_SOURCES)
add_executable(konsolion_tests ${KONSOLION_TEST_SOURCES})
set_source_files_properties(${KONSOLION_TEST_SOURCES} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion_tests PRIVATE konsolion_sim_app konsolion_testing GTest::gtest)
if(WIN32 AND CMAKE_CROSSCOMPILING)
    # The cross-built suite runs under Wine, which shows this machine's root as drive Z:.
    target_compile_definitions(konsolion_tests PRIVATE KONSOLION_TEST_DATA_DIR="Z:${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
else()
    target_compile_definitions(konsolion_tests PRIVATE KONSOLION_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
endif()
if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(konsolion_tests
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 120)
endif()

# The editor against the simulated keyboard, for anyone without the hardware.
juce_add_gui_app(konsolion-sim PRODUCT_NAME "konsolion-sim" COMPANY_NAME "Ombrix" VERSION 1.0)
target_sources(konsolion-sim PRIVATE simulator/app/SimulatorMain.cpp)
set_source_files_properties(simulator/app/SimulatorMain.cpp PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-sim PRIVATE konsolion_sim_app)

# The command-line tool: backup, restore, verify, diff, chart and flash from a terminal.
# Its commands in a library of their own, which the benchmark times too.
file(GLOB KONSOLION_CLI_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/cli/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/cli/*.h")
list(FILTER KONSOLION_CLI_SOURCES EXCLUDE REGEX "/cli/CliMain\\.cpp$")
konsolion_keep_platform_sources(KONSOLION_CLI_SOURCES)
add_library(konsolion_cli_commands STATIC ${KONSOLION_CLI_SOURCES})
set_source_files_properties(${KONSOLION_CLI_SOURCES} cli/CliMain.cpp PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_compile_definitions(konsolion_cli_commands PRIVATE KONSOLION_VERSION="${PROJECT_VERSION}")
target_link_libraries(konsolion_cli_commands PUBLIC konsolion_device konsolion_simulator)
juce_add_console_app(konsolion-cli PRODUCT_NAME "konsolion-cli")
target_sources(konsolion-cli PRIVATE cli/CliMain.cpp)
target_link_libraries(konsolion-cli PRIVATE konsolion_cli_commands)

# The rest (tools, benchmarks, the real-stack keyboard, the end-to-end checks) runs on Linux.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

# The artwork generator (scripts/make-artwork runs it).
juce_add_console_app(konsolion-artwork PRODUCT_NAME "konsolion-artwork")
target_sources(konsolion-artwork PRIVATE
    resources/artwork/ArtworkGenerator.cpp
    resources/artwork/KeyboardArtwork.cpp)
set_source_files_properties(resources/artwork/ArtworkGenerator.cpp resources/artwork/KeyboardArtwork.cpp
    PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-artwork PRIVATE konsolion_ui)

# Benchmarks: wall-clock medians against floors measured in the same run.
juce_add_console_app(konsolion-bench PRODUCT_NAME "konsolion-bench")
set(KONSOLION_BENCH_SOURCES bench/BenchMain.cpp bench/DeviceBenchmarks.cpp bench/HotPlugBenchmarks.cpp
    bench/KeyboardCheckBenchmarks.cpp bench/LiveBenchmarks.cpp)
target_sources(konsolion-bench PRIVATE ${KONSOLION_BENCH_SOURCES})
set_source_files_properties(${KONSOLION_BENCH_SOURCES} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-bench PRIVATE konsolion_ui konsolion_simulator konsolion_cli_commands)

# The chaos run: the editor against a misbehaving simulated keyboard, its invariants checked.
juce_add_console_app(konsolion-chaos PRODUCT_NAME "konsolion-chaos")
target_sources(konsolion-chaos PRIVATE bench/ChaosRun.cpp)
set_source_files_properties(bench/ChaosRun.cpp PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-chaos PRIVATE konsolion_ui konsolion_testing)

# The toolkit's floor for start-up and memory, and the probe that measures both.
juce_add_gui_app(konsolion-minimal-window PRODUCT_NAME "konsolion-minimal-window")
target_sources(konsolion-minimal-window PRIVATE bench/MinimalWindow.cpp)
target_link_libraries(konsolion-minimal-window PRIVATE konsolion_ui)
find_package(X11 REQUIRED)
add_executable(konsolion-startup-probe bench/StartupProbe.cpp)
target_link_libraries(konsolion-startup-probe PRIVATE X11::X11)

# The simulated keyboard at the far end of a USB cable: on a USB MIDI gadget's raw MIDI
# device, for the checks over the real MIDI stack (scripts/realstack).
juce_add_console_app(konsolion-keyboard PRODUCT_NAME "konsolion-keyboard")
target_sources(konsolion-keyboard PRIVATE simulator/KeyboardProgramMain.cpp)
set_source_files_properties(simulator/KeyboardProgramMain.cpp PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion-keyboard PRIVATE konsolion_simulator)

# The editor's panel over that cable, through JUCE's ALSA backend: run only in the guest
# (tests/realstack/check-editor.sh), so not one of ctest's tests.
add_executable(konsolion_realstack_tests tests/realstack/RealStackEditorTests.cpp tests/TestMain.cpp
               tests/support/TestSupport.cpp)
set_source_files_properties(tests/realstack/RealStackEditorTests.cpp PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_link_libraries(konsolion_realstack_tests PRIVATE konsolion_ui konsolion_testing GTest::gtest)
target_compile_definitions(konsolion_realstack_tests PRIVATE KONSOLION_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")

# Its bash completion, made from its own command table.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/konsolion-cli.bash-completion
    COMMAND $<TARGET_FILE:konsolion-cli> --bash-completion > ${CMAKE_CURRENT_BINARY_DIR}/konsolion-cli.bash-completion
    DEPENDS konsolion-cli)
add_custom_target(konsolion-cli-completion ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/konsolion-cli.bash-completion)

# End to end, in the display the test command provides.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
    add_test(NAME e2e.SimulatorInARealWindow
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/test_simulator.py
                $<TARGET_FILE:konsolion-sim> $<TARGET_FILE:konsolion-cli>)
    set_tests_properties(e2e.SimulatorInARealWindow PROPERTIES TIMEOUT 120)
    add_test(NAME e2e.CommandLineToolAgainstItsSimulatedKeyboard
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/test_cli.py $<TARGET_FILE:konsolion-cli>)
    set_tests_properties(e2e.CommandLineToolAgainstItsSimulatedKeyboard PROPERTIES TIMEOUT 240)
    add_test(NAME layers.NoLowerLayerIncludesAHigherOne
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/test_layers.py
                ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check-layers ${CMAKE_CURRENT_SOURCE_DIR}
                $<TARGET_FILE:Konsolion> $<TARGET_FILE:konsolion-cli>)
    add_test(NAME e2e.WithoutADisplayEveryProgramSaysSo
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/test_no_display.py
                $<TARGET_FILE:Konsolion> $<TARGET_FILE:konsolion-sim> $<TARGET_FILE:konsolion_tests>)
    set_tests_properties(e2e.WithoutADisplayEveryProgramSaysSo PROPERTIES TIMEOUT 120)
    # JUCE's debug builds print their banner; the quiet start is the shipped build's.
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
        add_test(NAME e2e.ProductStartsQuietly
            COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/test_quiet_start.py $<TARGET_FILE:Konsolion>)
        set_tests_properties(e2e.ProductStartsQuietly PROPERTIES TIMEOUT 60)
    endif()
endif()

# Fuzz targets (libFuzzer, clang): configure with -DKONSOLION_FUZZ=ON; scripts/fuzz does it all.
if(KONSOLION_FUZZ)
    set_property(SOURCE ${KONSOLION_DEVICE_SOURCES} ${KONSOLION_SIMULATOR_SOURCES}
                 APPEND PROPERTY COMPILE_OPTIONS -fsanitize=fuzzer-no-link)

    function(konsolion_add_fuzzer target source)
        add_executable(${target} ${source})
        # The harness only checks: its comparisons would steer the fuzzer nowhere and cost time.
        set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
        target_link_libraries(${target} PRIVATE konsolion_simulator konsolion_testing)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    endfunction()

    konsolion_add_fuzzer(fuzz_device_frames fuzz/FuzzDeviceFrames.cpp)
    konsolion_add_fuzzer(fuzz_settings_file fuzz/FuzzSettingsFile.cpp)
    konsolion_add_fuzzer(fuzz_firmware_image fuzz/FuzzFirmwareImage.cpp)
endif()
