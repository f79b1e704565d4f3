#pragma once

/** The device manager's events; `first` and `second` carry what each one names. */
struct ManagerEvent
{
    enum : int
    {
        KeyboardConnected = 0,      // 0, 0
        NumbersArrived = 1,         // item, value of a single pair; 0, 0 for more
        ControlMoved = 2,           // item, value
        ItemValue = 3,              // item, value
        MidiChannelAnswer = 4,      // stored globals[6], 0
        OctaveShiftAnswer = 5,      // signed shift, 0
        SearchFailed = 7,           // 0, 0 (message thread)
        ModulationWheel = 8,        // 64, value
        PitchBend = 9,              // 65, 0..16383
        SustainPedal = 10,          // 80, value
        ExpressionPedal = 11,       // 81, value
        AuxPedal = 12,              // 83, value
        BreathControl = 13,         // 82, value
        KnobModeAnswer = 14,        // stored globals[2], 0
        Aftertouch = 15,            // zone, pressure
        ParameterListArrived = 16,  // parameter number, 0
        GlobalAnswer = 17,          // index, value
        CurveAnswer = 18            // index, value
    };
};

/** Receives the device manager's events. The manager neither owns nor removes its listeners. */
class LumManagerListener
{
public:
    virtual void managerEvent (int event, int first, int second, int reserved) = 0;

protected:
    ~LumManagerListener() = default;
};
