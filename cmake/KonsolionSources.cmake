# The program's own sources, one folder per subsystem. app/Main.cpp holds the
# application's start-up macro and belongs to the product executable only; the
# simulator's and the keyboard program's main files belong to their executables.
set(KONSOLION_SOURCE_DIRS app device documents editor keyboard_view firmware simulator)

set(KONSOLION_CORE_SOURCES)
foreach(dir IN LISTS KONSOLION_SOURCE_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
        "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h")
    list(APPEND KONSOLION_CORE_SOURCES ${dir_sources})
endforeach()
list(FILTER KONSOLION_CORE_SOURCES EXCLUDE REGEX "/app/Main\\.cpp$|/simulator/SimulatorMain\\.cpp$|/simulator/KeyboardProgramMain\\.cpp$")

set(KONSOLION_IMAGES
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/keyboard_vr49.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_normal.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_over.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/default_values_down.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_normal.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_over.png"
    "${CMAKE_CURRENT_SOURCE_DIR}/resources/send_to_keyboard_down.png")
