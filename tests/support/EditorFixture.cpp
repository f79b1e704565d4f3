#include "tests/support/EditorFixture.h"

namespace
{
    constexpr int firmwareField = 34;
    constexpr size_t requestsOfTheRead = 1 + KeyboardReader::messagesSent;   // the probe, then the read
}

void EditorFixture::SetUp()
{
    panel = std::make_unique<KbdSettingComponentVR49> (studio.getPorts(), dialogs);
}

void EditorFixture::startDetection()
{
    clock.now = juce::Time::getMillisecondCounter() + 2000;
    clock.attachTo (manager());

    // Each tick probes the next output, until the keyboard's answers.
    for (int tick = 0; tick < 6 && ! manager().isConnected(); ++tick)
    {
        manager().timerCallback();
        pumpUntil ([this] { return manager().isConnected(); }, 200);
        clock.advance (2000);
    }
}

bool EditorFixture::readFinished()
{
    return keyboard.getReceivedCount() >= requestsOfTheRead && ! panel->isReadingBack();
}

void EditorFixture::detectKeyboard()
{
    startDetection();
    ASSERT_TRUE (pumpUntil ([this] { return widget<juce::TextEditor> (firmwareField).getText() != "Not detected yet"; }));
    ASSERT_TRUE (pumpUntil ([this] { return readFinished(); }));

    // The search's next tick ends it, keeping the keyboard's input.
    clock.advance (2000);
    manager().timerCallback();
    pumpFor (20);
}

void EditorFixture::pick (const juce::String& message)
{
    panel->actionListenerCallback (message);
    pumpFor (20);   // the combo boxes notify asynchronously
}

void EditorFixture::click (juce::Button& button)
{
    panel->buttonClicked (&button);
    pumpFor (20);
}

int EditorFixture::item (int param, ItemId id)
{
    const juce::ScopedLock sl (manager().getModelLock());
    return manager().itemParams[(size_t) param].at (id);
}

int EditorFixture::global (int index)
{
    const juce::ScopedLock sl (manager().getModelLock());
    return manager().globals[(size_t) index];
}

std::vector<juce::String> EditorFixture::messageBoxes() const
{
    std::vector<juce::String> texts;

    for (const auto& box : dialogs.shown)
        texts.push_back (box.title + ": " + box.message);

    return texts;
}
