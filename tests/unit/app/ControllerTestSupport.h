#pragma once
// The ground a controller stands on, without a window: settings in a private home, the receiver
// manager with demo receivers or simulated radios, and a target window that hands the receivers'
// scan messages to a scan controller as the main window does.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CnxActivityController.h"
#include "app/CnxScanController.h"
#include "app/InxScanStates.h"
#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"

// Routes the scan messages to the scan controller, when there is one, and the samples it takes
// to the activity log, when there is one.
class ScanMessageRouter : public TmyComponent {
public:
    CnxScanController* scans = nullptr;
    CnxActivityController* activity = nullptr;

protected:
    void OnWindowMessage(const TmyMessage& m) override {
        if (scans == nullptr) {
            return;
        }
        const auto sample = scans->OnScanMessage(m);
        if (sample && activity != nullptr) {
            activity->OnScanSample(reinterpret_cast<CnxK740RXReceiver*>(m.wParam)->GetRadioIndex(),
                                   *sample);
        }
    }
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApp();
        ResetAppOptions();
        ASSERT_TRUE(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qunsetenv("QVK740RX_SIM");
    }
    void TearDown() override {
        subscriptions_.clear();
        router_.scans = nullptr;
        router_.activity = nullptr;
        ReleaseControllers();
        manager_.reset();
        settings_.reset();
        qunsetenv("QVK740RX_SIM");
        ResetAppOptions();
    }

    // Simulated radios and sonobuoys, in the simulated driver's file format; none: demo mode.
    void DescribeRadios(const std::string& text) {
        const QString path = home_.filePath("radios.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.c_str(), qint64(text.size()));
        file.close();
        qputenv("QVK740RX_SIM", path.toUtf8());
    }
    // The receivers as the program starts them, slot 0 selected.
    void StartReceivers() {
        settings_ = std::make_unique<CnxK740RXFileIniApp>();
        manager_ = std::make_unique<CnxK740RX_ReceiverManager>(
            kK740RXSlotCount, settings_.get(), router_.GetHandle(), nullptr, nullptr);
        manager_->CloseAll();
        manager_->Accept();
        manager_->SetSelected(0);
    }
    CnxK740RXReceiver& Receiver(int slot) { return *manager_->GetReceiver(slot); }
    // Ends the test's controllers before the receivers they stand on.
    virtual void ReleaseControllers() {}
    // Keeps each value an event tells, until the test ends.
    template <typename Event, typename Value>
    void Record(Event& event, std::vector<Value>& into) {
        subscriptions_.push_back(event.Subscribe([&into](void*, Value v) { into.push_back(v); }));
    }

    using State = InxScanStates::State;

    QTemporaryDir home_;
    ScanMessageRouter router_;
    std::unique_ptr<CnxK740RXFileIniApp> settings_;
    std::unique_ptr<CnxK740RX_ReceiverManager> manager_;
    TmySubscriptions subscriptions_;
};
