// konsolion-minimal-window: the toolkit's floor for start-up time and memory. A JUCE
// application with one fixed 1024 x 660 window whose content paints one colour,
// built in the same tree, from the same library, as Konsolion. With "--text" the
// content also draws one line of text, which loads the fonts as any real window must.

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
    struct Content : juce::Component
    {
        explicit Content (bool withText) : drawsText (withText)   { setSize (1024, 660); }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (juce::Colour (0xFF808080));

            if (drawsText)
            {
                g.setColour (juce::Colours::black);
                g.setFont (15.0f);
                g.drawText ("Global Parameters", 20, 20, 200, 24, juce::Justification::centredLeft);
            }
        }

        const bool drawsText;
    };

    struct Window : juce::DocumentWindow
    {
        explicit Window (bool withText) : juce::DocumentWindow ("Minimal window", juce::Colour (0xFFF0FFFF),
                                         juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton)
        {
            setUsingNativeTitleBar (true);
            setContentOwned (new Content (withText), false);
            centreWithSize (1024, 660);
            setVisible (true);
        }

        void closeButtonPressed() override   { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
    };

    struct MinimalApp : juce::JUCEApplication
    {
        const juce::String getApplicationName() override      { return "Minimal window"; }
        const juce::String getApplicationVersion() override   { return "1.0"; }
        void initialise (const juce::String& commandLine) override
        {
            window = std::make_unique<Window> (commandLine.contains ("--text"));
        }
        void shutdown() override                              { window.reset(); }

        std::unique_ptr<Window> window;
    };
}

START_JUCE_APPLICATION (MinimalApp)
