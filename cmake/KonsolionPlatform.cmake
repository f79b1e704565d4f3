# What each layer needs from the system it is built for: konsolion_device_platform for the
# device layer's JUCE modules, konsolion_gui_platform for the GUI modules'.
add_library(konsolion_device_platform INTERFACE)
add_library(konsolion_gui_platform INTERFACE)

if(WIN32)
    # Debian's JUCE has no bundled zlib, libpng or libjpeg: the static MinGW builds of them
    # stand in (scripts/windows/build-thirdparty). The shim answers JUCE's JPEG loader.
    find_package(ZLIB REQUIRED)
    find_package(PNG REQUIRED)
    find_package(JPEG REQUIRED)
    target_link_libraries(konsolion_device_platform INTERFACE ZLIB::ZLIB)
    # WinRT MIDI needs headers MinGW lacks; WinMM names the ports as Windows' own dialogs do.
    target_compile_definitions(konsolion_device_platform INTERFACE JUCE_USE_WINRT_MIDI=0)
    target_include_directories(konsolion_gui_platform BEFORE INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/win-shims)
    # dxgi is juce_gui_basics' own, which its JUCE target would have brought along.
    target_link_libraries(konsolion_gui_platform INTERFACE PNG::PNG JPEG::JPEG dxgi)
    # One .exe each, with no MinGW runtime DLLs to ship beside it.
    add_link_options(-static -static-libgcc -static-libstdc++)
else()
    target_link_libraries(konsolion_device_platform INTERFACE juce::pkgconfig_juce_audio_devices_LINUX_DEPS)
    target_link_libraries(konsolion_gui_platform INTERFACE
        juce::pkgconfig_juce_graphics_LINUX_DEPS
        juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
endif()
