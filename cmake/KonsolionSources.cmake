# The program's own sources, one library per layer. Lower layers never include higher ones
# (scripts/check-layers, run by the tests, fails when one does):
#   device     device/, documents/, firmware/            JUCE without its GUI modules
#   simulator  simulator/ (not simulator/app/)           on device: the simulated keyboard, its ports
#   ui         app/, editor/, keyboard_view/             on device, with JUCE's GUI modules
#   sim app    simulator/app/                            on ui and simulator: konsolion-sim's windows
# The files holding a main() belong to their executables only.
function(konsolion_glob_sources output)
    set(sources)
    foreach(dir IN LISTS ARGN)
        file(GLOB dir_sources CONFIGURE_DEPENDS
            "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
            "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h")
        list(APPEND sources ${dir_sources})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "/app/Main\\.cpp$|/SimulatorMain\\.cpp$|/KeyboardProgramMain\\.cpp$")
    set(${output} ${sources} PARENT_SCOPE)
endfunction()

konsolion_glob_sources(KONSOLION_DEVICE_SOURCES device documents firmware)
konsolion_glob_sources(KONSOLION_SIMULATOR_SOURCES simulator)
konsolion_glob_sources(KONSOLION_UI_SOURCES app editor keyboard_view)
konsolion_glob_sources(KONSOLION_SIM_APP_SOURCES simulator/app)

set(KONSOLION_IMAGES
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/keyboard_vr49.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_normal.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_over.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_down.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_normal.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_over.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_down.png")
