#pragma once
// The whole main window with the simulated driver library, driven as a user drives it.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "GuiTestSupport.h"
#include "app/CMainWindows.h"
#include "app/CnxListeningController.h"
#include "app/CnxScanController.h"
#include "app/CnxSlotsController.h"
#include "app/CnxTuningController.h"
#include "core/TmyApplication.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxK7RCtrlScanButtons.h"
#include "scanner/CnxScannerPage.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "tuning/CnxCtrlFrequency.h"
#include "tuning/CnxCtrlFrequencyBand.h"
#include "tuning/CnxCtrlTuningPanel.h"

inline const char* kTwoRadios =
    "[radio0]\nserial = 4711001\nproduct = K7USB-A\nconnected = %1\n"
    "[radio1]\nserial = 4711002\nproduct = K7PCI-B\nconnected = %2\n"
    "[signals]\n142750000 = -62\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        ASSERT_TRUE(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        simFile_ = home_.path() + "/radios.ini";
        // No knob box unless a test starts one: the machine's own serial ports stay unprobed.
        qputenv("K740RX_MIXER_PORTS", "");
        // A silent sound card that keeps real time: no box about a missing sound server, and
        // nothing played into a sound server other tests listen to.
        qputenv("K740RX_AUDIO", "virtual");
        ResetAppOptions();
        g_optNSplash.present = true;
        qunsetenv("QVK740RX_SIM");  // demo mode unless a test writes radios
    }
    void TearDown() override {
        window_.reset();
        qunsetenv("QVK740RX_SIM");
    }

    void WriteRadios(bool first, bool second = true) {
        WriteSimulation(QString(kTwoRadios).arg(first ? 1 : 0).arg(second ? 1 : 0));
    }
    void WriteSimulation(const QString& text) {
        QFile file(simFile_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        qputenv("QVK740RX_SIM", simFile_.toUtf8());
    }

    void Start() {
        window_ = std::make_unique<CMainWindows>(app_);
        ASSERT_TRUE(window_->IsInitOk());
        window_->Build();
        PumpFor(400ms);  // deferred start
    }

    // Key, Type and Tune (of the first receiver) give back the frequency the window shows
    // afterwards.
    int32_t Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString& text = {}) {
        SendKey(QApplication::focusWidget() ? *QApplication::focusWidget() : *window_, key,
                modifiers, text);
        return Frequency();
    }
    int32_t Type(const QString& keys) {
        for (QChar c : keys) {
            Key(c.isDigit() ? Qt::Key_0 + c.digitValue()
                : c == '.'  ? Qt::Key_Period
                            : Qt::Key_M,
                Qt::NoModifier, QString(c));
        }
        return Key(Qt::Key_Return);
    }
    int32_t Tune(int32_t frequency, bool force = false) {
        window_->Tuning().FrequencySet(0, frequency, force);
        return Frequency();
    }

    QPushButton* Switch(const QString& text) const { return FindButton(*window_, text); }

    int Selected() const { return window_->Settings().GetSelectedReceiver(); }
    // Where the selected receiver is tuned.
    int32_t Frequency() const { return window_->Tuning().GetFrequency(Selected()); }
    // A scan button of a slot, pressed as the operator does.
    void Press(int slot, int button) {
        window_->ScannerPage(slot).Scanner().GetButtons()->GetButton(button)->click();
    }

    QString IniText() {
        QFile file(home_.path() + "/Documents/Quorvant/K740RX/K740RX.ini");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir home_;
    QString simFile_;
    TmyApplication app_;
    std::unique_ptr<CMainWindows> window_;
};
