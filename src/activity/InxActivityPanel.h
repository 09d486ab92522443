#pragma once
// What the activity controller shows on the live list's panel besides the list: the selected
// receiver's activity threshold and whether it records its hits. The panel asks the controller to
// change them; tests put a recording panel in its place.
class InxActivityPanel {
public:
    virtual ~InxActivityPanel() = default;
    // Slot 0-7, the threshold in whole dBm.
    virtual void ShowReceiverSettings(int slot, int thresholdDbm, bool recordHits) = 0;
};
