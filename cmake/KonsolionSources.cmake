# The program's own sources, one library per layer. Lower layers never include higher ones
# (scripts/check-layers, run by the tests, fails when one does):
#   device     device/, documents/, firmware/            JUCE without its GUI modules
#   simulator  simulator/ (not simulator/app/)           on device: the simulated keyboard, its ports
#   ui         app/, editor/, keyboard_view/             on device, with JUCE's GUI modules
#   sim app    simulator/app/                            on ui and simulator: konsolion-sim's windows
# The files holding a main() belong to their executables only.
#
# Where a whole function differs by system, NAME_posix.cpp and NAME_windows.cpp sit side by
# side and only the one for the system built for is compiled. The simulated keyboard's link
# to a USB MIDI gadget (the checks over Linux's real MIDI stack) is Linux's alone.
function(konsolion_keep_platform_sources list_name)
    set(sources ${${list_name}})
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$|/simulator/(RawMidiPort|RawMidiBridge|UsbGadget)\\.(cpp|h)$")
    else()
        list(FILTER sources EXCLUDE REGEX "_windows\\.cpp$")
    endif()
    set(${list_name} ${sources} PARENT_SCOPE)
endfunction()

function(konsolion_glob_sources output)
    set(sources)
    foreach(dir IN LISTS ARGN)
        file(GLOB dir_sources CONFIGURE_DEPENDS
            "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
            "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h")
        list(APPEND sources ${dir_sources})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "/app/Main\\.cpp$|/SimulatorMain\\.cpp$|/KeyboardProgramMain\\.cpp$")
    konsolion_keep_platform_sources(sources)
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
