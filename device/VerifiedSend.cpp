#include "device/VerifiedSend.h"

bool VerifiedSendReport::keyboardWentAway() const
{
    return send.keyboardWentAway() || (readBackDone && readBack == KeyboardReader::Outcome::keyboardGone);
}

bool VerifiedSendReport::keyboardHoldsWhatWasSent() const
{
    return send.completed && readBackDone && readBack == KeyboardReader::Outcome::completed
           && check.differences.empty();
}

bool VerifiedSendReport::sentButNotChecked() const
{
    return send.completed && readBackDone && readBack != KeyboardReader::Outcome::completed
           && ! keyboardWentAway();
}

VerifiedSendReport sendAndVerify (LumManager49& manager, KeyboardReader& reader, const SettingsModel& model,
                                  const LumManager49::SendProgress& progress, const std::function<bool()>& shouldStop)
{
    VerifiedSendReport report;
    report.plan = planSendAll (model);
    report.send = manager.sendModel (model, progress);

    if (! report.send.completed)
        return report;

    const auto held = reader.read (shouldStop);
    report.readBackDone = true;
    report.readBack = held.outcome;

    if (held.completed())
        report.check = checkSentValues (model, report.plan.sentFields, held.model);

    return report;
}
