// Scanning: the scan of each receiver slot started, paused and stopped from its scanner control,
// and its measurements routed to the slot's bar graph. A slot's scan state lives in the scan run;
// the receiver sweeps on its own thread and reports every measurement by message.
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/CMainWindows.h"
#include "app/CnxCtrlFrequency.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxMarkerStore.h"
#include "scanner/ScopeView.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {
constexpr int32_t kScanCalibrationMode = 3;
constexpr int kScanModeScan = 1;
constexpr int kScanModePause = 3;
constexpr int kScanModeStop = 4;
}  // namespace

QWidget* CMainWindows::BuildScanners() {
    auto* stack = new QStackedWidget(this);
    scanStack_ = stack;
    markers_ =
        std::make_unique<CnxMarkerStore>(QString::fromStdString(settings_->GetSettingsDir()));
    for (int i = 0; i < kMaxReceivers; ++i) {
        auto* page = new QWidget(stack);
        auto* scanner = new CnxK740RXCtrlScanner(page, i);
        scanner->SetRange(CnxChannelPlan::kLowerLimit, CnxChannelPlan::kUpperLimit, scanStep_);
        scanner->OnScanCommand.Set(this, &CMainWindows::OnScanCommand);
        scanner->OnLoopChanged.Set(this, &CMainWindows::OnLoopChanged);
        auto* graph = new CnxK740RXCtrlScannerGraph(page, i);
        graph->SetStep(scanStep_);
        graph->SetRange(CnxChannelPlan::kLowerLimit, CnxChannelPlan::kUpperLimit);
        graph->SetSettings(settings_.get());
        graph->OnMarkersChanged.Subscribe(this, [this, i](void*, int) { SaveMarkers(i); });
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        layout->addWidget(scanner);
        layout->addWidget(graph, 1);
        stack->addWidget(page);
        slots_[i].scanner = scanner;
        slots_[i].graph = graph;
        scanner->SetLoopValue(settings_->Receiver(i).loop);
    }
    return stack;
}

QString CMainWindows::MarkerKey(int index) const {
    // Markers belong to the radio; every demo receiver is "DEMO", so those go by their slot.
    const CnxK740RXReceiver* receiver = manager_ ? manager_->GetReceiver(index) : nullptr;
    if (receiver == nullptr) {
        return {};
    }
    const std::string serial = SerialOf(receiver);
    return QString::fromStdString(receiver->IsDemo() ? serial + " " + std::to_string(index + 1)
                                                     : serial);
}

void CMainWindows::LoadMarkers() {
    for (int i = 0; i < kMaxReceivers; ++i) {
        if (const QString key = MarkerKey(i); !key.isEmpty()) {
            slots_[i].graph->SetMarkers(markers_->Load(key));
        }
    }
}

void CMainWindows::SaveMarkers(int index) {
    if (const QString key = MarkerKey(index); !key.isEmpty()) {
        markers_->Save(key, slots_[index].graph->GetMarkers());
    }
}

void CMainWindows::ShowScanner(int index) {
    scanStack_->setCurrentIndex(index);
}

bool CMainWindows::IsSelectedScanning() const {
    return scanRun_.IsScanning(GetSelectedReceiver());
}

void CMainWindows::ToggleScan() {
    const int selected = GetSelectedReceiver();
    if (CurrentReceiver() == nullptr || selected < 0 || settings_->Current().power == 0) {
        return;
    }
    // Through the scanner control, so its buttons show what happens.
    CnxK740RXCtrlScanner* scanner = slots_[selected].scanner;
    if (scanner->GetMode() != kScanModeStop && scanRun_.IsActive(selected)) {
        scanner->Stop();
    } else {
        scanner->Start();
    }
}

void CMainWindows::OnScanCommand(void* sender, int32_t mode, std::intptr_t) {
    const int selected = GetSelectedReceiver();
    if (selected < 0 || sender != slots_[selected].scanner) {
        return;
    }
    switch (mode) {
        case kScanModeScan:
            StartScanning();
            break;
        case kScanModePause:
            PauseScanning();
            break;
        case kScanModeStop:
            StopScanning(selected);
            break;
        default:
            break;
    }
}

void CMainWindows::OnLoopChanged(void* sender, int32_t loop, std::intptr_t) {
    // Each slot keeps its own: the loop of the scanner that changed goes to its receiver.
    const int index = static_cast<const CnxK740RXCtrlScanner*>(sender)->GetSlotIndex();
    settings_->Receiver(index).loop = loop;
    if (CnxK740RXReceiver* receiver = manager_ ? manager_->GetReceiver(index) : nullptr) {
        receiver->SetScanLoop(loop != 0);
    }
}

void CMainWindows::StartScanning() {
    const int selected = GetSelectedReceiver();
    CnxK740RXReceiver* receiver = CurrentReceiver();
    if (receiver == nullptr || !scanRun_.Start(selected, GetCurrentFrequency())) {
        return;
    }
    if (calibrator_) {
        calibrator_->SetMode(kScanCalibrationMode);
    }
    UpdateControlsEnabled();
    slots_[selected].scanPosition = receiver->GetScanLower();
    ShowScanPosition(static_cast<int32_t>(receiver->GetScanLower()));
    slots_[selected].graph->SetStep(scanStep_);
    slots_[selected].graph->Start();
    receiver->SetScanStep(scanStep_, true);
    receiver->StartScan();
    if (player_) {
        player_->Stop();  // the scan hears nothing; its sound would be that of every channel
    }
    UpdateAudioState();
}

void CMainWindows::PauseScanning() {
    const int selected = GetSelectedReceiver();
    CnxK740RXReceiver* receiver = CurrentReceiver();
    if (receiver == nullptr || !scanRun_.Pause(selected)) {
        return;
    }
    receiver->PauseScan();
    if (calibrator_) {
        calibrator_->SetMode(kScanCalibrationMode);
    }
    UpdateControlsEnabled();
    slots_[selected].graph->Pause();
    UpdateAudioState();
    PlayReceiverSource();
    // The operator hears what the display shows: the radio goes back to the manual frequency.
    FrequencySet(selected, slots_[selected].frequency, true);
}

void CMainWindows::StopScanning(int index) {
    CnxK740RXReceiver* receiver = manager_ ? manager_->GetReceiver(index) : nullptr;
    if (receiver == nullptr) {
        return;
    }
    SnxReceiverSlot& slot = slots_[index];
    slot.graph->Redraw();
    const bool wasPaused = scanRun_.IsPaused(index);
    const bool ended = scanRun_.Stop(index);
    if (wasPaused) {
        // A paused receiver no longer sweeps: only its scan position goes back to the start.
        receiver->SetScanFrequency(receiver->GetScanLower());
        receiver->ResetScanState();
    }
    receiver->StopScan();
    if (index == GetSelectedReceiver()) {
        if (calibrator_) {
            calibrator_->SetMode(kScanCalibrationMode);
        }
        UpdateControlsEnabled();
        UpdateAudioState();
        if (ended) {
            PlayReceiverSource();  // before the retune, which picks the demo sound where it plays
        }
    }
    slot.scanner->Stop();  // raises the stop command again only when it was not stopped yet
    slot.graph->Stop();
    if (ended) {
        // Back where the slot was before its scan, shown and tuned.
        FrequencySet(index, scanRun_.GetFrequencyBeforeScan(index), true);
    }
}

void CMainWindows::OnScanEnd(CnxK740RXReceiver* receiver) {
    // The end of a pass that was stopped by hand may arrive after a new scan has begun: only a
    // receiver that really stands still ends its slot's scan.
    const int index = IndexOf(receiver);
    if (index >= 0 && !receiver->IsScanning()) {
        StopScanning(index);
    }
}

void CMainWindows::OnScanLevel(CnxK740RXReceiver* receiver, const ScanSample& sample) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    receiver->AcknowledgeScanSample();
    if (!scanRun_.IsScanning(index)) {
        return;
    }
    slots_[index].scanPosition = sample.frequency;
    slots_[index].graph->AddLevel(sample.level);
}

void CMainWindows::ShowSweep() {
    // Shown at the level poll's pace rather than per sample: readable, and cheap at full speed.
    const int selected = GetSelectedReceiver();
    if (IsSelectedScanning() && slots_[selected].scanPosition != 0) {
        ShowScanPosition(static_cast<int32_t>(slots_[selected].scanPosition));
    }
}

void CMainWindows::MoveGraphView(int steps) {
    const int selected = GetSelectedReceiver();
    if (selected < 0) {
        return;
    }
    ScopeView& view = slots_[selected].graph->GetScopeView();
    view.ScrollToIndex(view.GetFirstVisible() + steps);
}
