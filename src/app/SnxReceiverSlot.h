#pragma once
// One receiver slot as the window lays it out: its S-meter and its scanner page (the scanner
// control over the bar graph). Only the selected slot's are shown. What the slot's receiver does
// is owned by the controllers: where it is tuned (tuning), its scan (scans), what is heard of it
// (listening), its radio and connection (slots); the record only says where its controls are.
class CnxCtrlSMeter;
class CnxScannerPage;

struct SnxReceiverSlot {
    CnxCtrlSMeter* meter = nullptr;
    CnxScannerPage* page = nullptr;
};
