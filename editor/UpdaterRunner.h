#pragma once

#include "editor/DialogService.h"
#include "firmware/FirmwareBurner.h"
#include "firmware/IFWUpdater.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <mutex>

class LumManager49;

/** Runs one firmware update: the transfer (a FirmwareBurner) on its worker thread under a
    modal progress window, acknowledgements forwarded from the MIDI input thread. Its
    destruction detaches the update port. */
class UpdaterRunner : public juce::ThreadWithProgressWindow,
                      public juce::MidiInputCallback,
                      public IFWHelper
{
public:
    explicit UpdaterRunner (LumManager49& manager);
    ~UpdaterRunner() override;

    void run() override;

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage (juce::MidiInput*, const juce::uint8*, int, double) override {}

    void sendMidiMessage (const juce::MidiMessage& message) override;
    void reportProgress (double fraction) override;

    bool didBurnSucceed() const noexcept   { return burnSucceeded.load(); }

    /** True once a frame of the image went out: the keyboard's firmware is then being replaced. */
    bool didStartTransfer() const noexcept { return burner.didStartTransfer(); }

    /** The firmware file's chooser: its title, the home folder, "Vantor*.bin". */
    static FileChoice firmwareChoice();

    juce::String firmwarePath;

private:
    LumManager49* manager;
    std::atomic<bool> burnSucceeded { false };

    // The worker reports progress here; the window takes it on the message thread,
    // where its progress bar reads it.
    std::atomic<double> reportedProgress { 0.0 };

    struct ProgressRelay : juce::Timer
    {
        explicit ProgressRelay (UpdaterRunner& r) : runner (r) {}
        void timerCallback() override   { runner.setProgress (runner.reportedProgress.load()); }
        UpdaterRunner& runner;
    };

    ProgressRelay progressRelay { *this };
    FirmwareBurner burner { *manager, [this] (double fraction) { reportedProgress = fraction; } };
};

/** What a firmware update is asked to do. */
struct FirmwareUpdateRequest
{
    juce::String path;                    // empty: the user chooses the file
    bool keyboardInUpdateMode = false;    // found in its bootloader already: no entering step
    bool configurationKept = false;       // the first box says so and offers a copy
    std::function<void()> saveACopy;      // "Save a Copy..." in the first box
    juce::String* bootloaderUsed = nullptr;   // set to the identifier of the bootloader that took the image
};

/** The whole firmware-upgrade dialogue; true when the new firmware went in whole. After a
    failed or cancelled transfer the box offers "Try Again" with the same file, on the
    bootloader that is still there. However it ends, the manager then searches for the
    keyboard again, so that it is found and read when it is back in normal mode. */
bool runFirmwareUpdate (LumManager49& manager, const FirmwareUpdateRequest& request, DialogService& dialogs);
void runFirmwareUpdate (LumManager49& manager, const juce::String& path, DialogService& dialogs);
void runFirmwareUpdate (LumManager49& manager, const juce::String& path);

namespace FirmwareDialogTexts
{
    extern const char* const enterUpdateModeTitle;
    extern const char* const errorTitle;
    extern const char* const resultTitle;
    extern const char* const portNotFound;
    extern const char* const cancelled;
    extern const char* const failed;
    extern const char* const succeeded;
    extern const char* const incompleteFirmware;
    extern const char* const configurationKept;
    extern const char* const saveACopy;
    extern const char* const tryAgain;
    extern const char* const close;
    juce::String enterUpdateModeMessage();
}
