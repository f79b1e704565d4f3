// Writes the program's artwork into a folder:
//     konsolion-artwork <folder>
// and, with --preview <file>, a picture of the keyboard with every picker selected,
// to check that each tint falls on its control.

#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "resources/artwork/KeyboardArtwork.h"

#include <iostream>

namespace
{
    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat png;
        return out.openedOk() && png.writeImageToStream (image, out);
    }

    bool writeArtwork (const juce::File& folder)
    {
        struct Button { const char* stem; const char* caption; int width; };
        const Button buttons[] { { "default_values", "Default Values", 101 }, { "send_to_keyboard", "Send to Keyboard", 117 } };
        const std::pair<ButtonImageState, const char*> states[] {
            { ButtonImageState::normal, "normal" }, { ButtonImageState::over, "over" }, { ButtonImageState::down, "down" } };

        bool ok = writePng (drawKeyboardPicture(), folder.getChildFile ("keyboard_vr49.png"));
        ok = writePng (drawApplicationIcon (256), folder.getChildFile ("konsolion_icon.png")) && ok;

        for (const auto& button : buttons)
            for (const auto& [state, suffix] : states)
                ok = writePng (drawCommandButtonImage (button.caption, button.width, 29, state),
                               folder.getChildFile (juce::String (button.stem) + "_" + suffix + ".png")) && ok;

        return ok;
    }

    bool writeAllSelectedPreview (const juce::File& file)
    {
        VR49CtrlPickerComponent picture;

        for (int i = 0; i < picture.getNumPickers(); ++i)
        {
            auto& picker = picture.getPicker (i);
            picker.setRadioGroupId (0);   // so that every picker can be on at once
            picker.setToggleState (true, juce::dontSendNotification);
        }

        return writePng (picture.createComponentSnapshot (picture.getLocalBounds(), true, 1.0f), file);
    }
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() == 2 && args[0] == "--preview")
        return writeAllSelectedPreview (juce::File::getCurrentWorkingDirectory().getChildFile (args[1])) ? 0 : 1;

    if (args.size() == 1)
        return writeArtwork (juce::File::getCurrentWorkingDirectory().getChildFile (args[0])) ? 0 : 1;

    std::cerr << "usage: konsolion-artwork <folder> | --preview <file.png>\n";
    return 2;
}
