#include "ReceiverTestSupport.h"

#include <QFile>
#include <algorithm>

#include "settings/CnxAppOptions.h"

// ---- MessageRecorder ----

void MessageRecorder::OnWindowMessage(const TmyMessage& message) {
    Record record{message.message, message.wParam, message.lParam, {}, 0};
    if (message.message == WM_RCV_SCAN_LEVEL) {
        record.sample = ScanSample::Unpack(WPARAM(message.lParam));
        auto* receiver = reinterpret_cast<CnxK740RXReceiver*>(message.wParam);
        if (known_.count(receiver) != 0) {
            // Where the point lies in the walk of the receiver's current run.
            record.frequency = receiver->GetScanPointFrequency(record.sample.point);
            receiver->AcknowledgeScanSample();
        }
    }
    records_.push_back(record);
}

int MessageRecorder::Count(UINT message) const {
    return static_cast<int>(Of(message).size());
}

std::vector<MessageRecorder::Record> MessageRecorder::Of(UINT message) const {
    std::vector<Record> found;
    std::copy_if(records_.begin(), records_.end(), std::back_inserter(found),
                 [message](const Record& r) { return r.message == message; });
    return found;
}

std::vector<ScanSample> MessageRecorder::Samples() const {
    std::vector<ScanSample> samples;
    for (const Record& record : Of(WM_RCV_SCAN_LEVEL)) {
        samples.push_back(record.sample);
    }
    return samples;
}

std::vector<int64_t> MessageRecorder::Frequencies(const CnxK740RXReceiver* receiver) const {
    std::vector<int64_t> frequencies;
    for (const Record& record : Of(WM_RCV_SCAN_LEVEL)) {
        if (receiver == nullptr || record.wParam == reinterpret_cast<WPARAM>(receiver)) {
            frequencies.push_back(record.frequency);
        }
    }
    return frequencies;
}

// ---- ReceiverTest ----

void ReceiverTest::SetUp() {
    EnsureCoreApp();
    ResetAppOptions();
    folder_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(folder_->isValid());
    // The settings live under HOME; the simulated library lists no radio until told otherwise.
    qputenv("HOME", folder_->path().toLocal8Bit());
    qunsetenv("QVK740RX_SIM");
    window_ = std::make_unique<MessageRecorder>();
}

void ReceiverTest::TearDown() {
    settings_.reset();
    window_.reset();
    ResetAppOptions();
}

CnxK740RXFileIniApp& ReceiverTest::Settings() {
    if (!settings_) {
        settings_ = std::make_unique<CnxK740RXFileIniApp>();
    }
    return *settings_;
}

ReceiverPtr ReceiverTest::NewReceiver(const char* library, CnxK740RXCalibratorSMeter* calibrator) {
    ReceiverPtr receiver(
        new CnxK740RXReceiver(library, &Settings(), window_->GetHandle(), calibrator),
        ForgetReceiver{window_.get()});
    window_->Know(receiver.get());
    return receiver;
}

ReceiverPtr ReceiverTest::StartedReceiver(const char* serial) {
    auto receiver = NewReceiver();
    EXPECT_NE(serial != nullptr ? receiver->OpenBySerial(serial) : receiver->OpenByIndex(0),
              nullptr);
    receiver->SetPower(1, true);
    receiver->SetFrequencyLimits(136000000, 173500000);
    receiver->SetScanStep(375000, true);
    receiver->SetScanLower(136000000, true);
    receiver->SetScanUpper(173500000, true);
    return receiver;
}

void ReceiverTest::DescribeRadios(const std::vector<SimRadioSetup>& radios,
                                  const std::string& sonobuoys) {
    std::string text = sonobuoys.empty() ? std::string() : "[signals]\n" + sonobuoys;
    for (std::size_t i = 0; i < radios.size(); ++i) {
        const SimRadioSetup& radio = radios[i];
        text += "[radio" + std::to_string(i) + "]\nserial = " + radio.serial +
                "\nproduct = " + radio.product + "\nconnected = " + (radio.connected ? "1" : "0") +
                "\nextended = " + (radio.extended ? "1" : "0") + "\n";
    }
    const QString path = folder_->filePath("radios.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.c_str(), static_cast<qint64>(text.size()));
    file.close();
    // Set once: the library's threads read the variable, so it must not change under them.
    if (qgetenv("QVK740RX_SIM") != path.toLocal8Bit()) {
        qputenv("QVK740RX_SIM", path.toLocal8Bit());
    }
}
