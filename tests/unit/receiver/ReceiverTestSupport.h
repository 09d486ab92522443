#pragma once
// Shared ground for the receiver tests: one QCoreApplication for the process, event pumping with a
// deadline, a recording target window, simulated radios described in a temporary file, and a
// private settings folder.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/InxProgressDisplay.h"
#include "receiver/K740RXReceiverMessages.h"
#include "settings/CnxK740RXFileIniApp.h"

#include "TestSupport.h"

// A target window that keeps every message and, as the main window does, tells each receiver it
// knows of that one of its scan samples was handled.
class MessageRecorder : public TmyComponent {
public:
    struct Record {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        ScanSample sample;
        int64_t frequency;  // of the sample's point
    };

    int Count(UINT message) const;
    std::vector<ScanSample> Samples() const;
    // The frequencies of the scan samples' points, of one receiver or (null) of all.
    std::vector<int64_t> Frequencies(const CnxK740RXReceiver* receiver = nullptr) const;
    std::vector<Record> Of(UINT message) const;
    const std::vector<Record>& All() const { return records_; }
    void Clear() { records_.clear(); }
    void Know(CnxK740RXReceiver* receiver) { known_.insert(receiver); }
    void Forget(CnxK740RXReceiver* receiver) { known_.erase(receiver); }

protected:
    void OnWindowMessage(const TmyMessage& message) override;

private:
    std::vector<Record> records_;
    std::set<CnxK740RXReceiver*> known_;  // samples of others may outlive their receiver
};

// A receiver the recording window acknowledges for as long as it lives.
struct ForgetReceiver {
    MessageRecorder* window;
    void operator()(CnxK740RXReceiver* receiver) const {
        window->Forget(receiver);
        delete receiver;
    }
};
using ReceiverPtr = std::unique_ptr<CnxK740RXReceiver, ForgetReceiver>;

class ProgressRecorder : public InxProgressDisplay {
public:
    void SetText(const std::string& text, int) override { texts.push_back(text); }
    void SetPosition(int percent) override { positions.push_back(percent); }

    std::vector<std::string> texts;
    std::vector<int> positions;
};

// One simulated radio for the driver library's simulation file.
struct SimRadioSetup {
    std::string serial;
    std::string product = "K7USB";
    bool connected = true;
    bool extended = false;
};

class ReceiverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Describes the attached radios (and demo-free signals) to the simulated library. Call before
    // the first receiver exists; later calls change the file, which the library takes up within
    // about half a second.
    // `sonobuoys`: lines "hertz = dBm" of transmitting sonobuoys.
    void DescribeRadios(const std::vector<SimRadioSetup>& radios,
                        const std::string& sonobuoys = {});
    CnxK740RXFileIniApp& Settings();
    // A receiver reporting to the recording window.
    ReceiverPtr NewReceiver(const char* library = "QVK740RXAPI.dll",
                            CnxK740RXCalibratorSMeter* calibrator = nullptr);
    // An open, powered receiver (the radio of this serial, or else the first demo entry) with the
    // whole band as its scan range, as the manager applies it from the settings.
    ReceiverPtr StartedReceiver(const char* serial);

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<MessageRecorder> window_;

private:
    std::unique_ptr<CnxK740RXFileIniApp> settings_;
};
