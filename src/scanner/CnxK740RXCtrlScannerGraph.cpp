#include "scanner/CnxK740RXCtrlScannerGraph.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QVBoxLayout>

#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxK740RXDlgStoreSpectrumLabel.h"
#include "scanner/CnxMarkerCsv.h"
#include "scanner/CnxSweepCsv.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {
const QString kCsvFilter = QStringLiteral("CSV files (*.csv);;All files (*)");
const QString kImportCaption = QStringLiteral("Import Markers");
}  // namespace

CnxK740RXCtrlScannerGraph::CnxK740RXCtrlScannerGraph(QWidget* parent, int slot)
    : QFrame(parent), slot_(slot) {
    setObjectName(QStringLiteral("panel"));
    scope_ = new CnxCtrlScopeView(this);

    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setToolTip(QStringLiteral("Moves the zoomed part of the range"));
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int first) { GetScopeView().ScrollToIndex(first); });
    connect(scope_, &CnxCtrlScopeView::VisiblePartMoved, this,
            &CnxK740RXCtrlScannerGraph::SyncScrollBar);
    connect(scope_, &CnxCtrlScopeView::ContextMenuRequested, this,
            &CnxK740RXCtrlScannerGraph::ShowContextMenu);
    connect(scope_, &CnxCtrlScopeView::DoubleClicked, this,
            &CnxK740RXCtrlScannerGraph::EditMarkerAt);
    connect(scope_, &CnxCtrlScopeView::Clicked, this, &CnxK740RXCtrlScannerGraph::ClickedAt);
    connect(scope_, &CnxCtrlScopeView::ThresholdDragged, this,
            [this](double dbm) { OnThresholdAsked.Raise(this, dbm); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(scope_, 1);
    layout->addWidget(scrollBar_);
    BuildMenu();
}

CnxK740RXCtrlScannerGraph::~CnxK740RXCtrlScannerGraph() = default;

ScopeView& CnxK740RXCtrlScannerGraph::GetScopeView() {
    return scope_->GetView();
}

const ScopeView& CnxK740RXCtrlScannerGraph::GetScopeView() const {
    return scope_->GetView();
}

void CnxK740RXCtrlScannerGraph::SetSettings(CnxK740RXFileIniApp* settings) {
    settings_ = settings;
    if (settings_ != nullptr) {
        SetShowHideLabels(settings_->Receiver(slot_).showHideLabels);
    }
}

bool CnxK740RXCtrlScannerGraph::AddLevel(const ScanSample& sample) {
    return GetScopeView().AddLevel(sample);
}

void CnxK740RXCtrlScannerGraph::Clear() {
    GetScopeView().Clear();
}

void CnxK740RXCtrlScannerGraph::DeleteAllObjects() {
    selected_ = nullptr;
    GetScopeView().DeleteAllObjects();
}

bool CnxK740RXCtrlScannerGraph::SetWalk(const CnxScanStepper& walk) {
    return GetScopeView().SetWalk(walk, false);
}

void CnxK740RXCtrlScannerGraph::ShowScan(int32_t mode, uint16_t run) {
    ScopeView& view = GetScopeView();
    view.SetRun(mode == kScanStopped ? 0 : run);
    view.SetRunning(mode == kScanRunning);
    if (mode != kScanRunning) {
        Redraw();
    }
}

bool CnxK740RXCtrlScannerGraph::IsRunning() const {
    return GetScopeView().IsRunning();
}

void CnxK740RXCtrlScannerGraph::SetShowHideLabels(int value) {
    showHideLabels_ = value;
    if (settings_ != nullptr) {
        settings_->Receiver(slot_).showHideLabels = value;
    }
    MenuItem(kMenuShowHideMarkers)->setChecked(value == kMarkersShown);
    GetScopeView().SetShowMarkers(value == kMarkersShown);
}

void CnxK740RXCtrlScannerGraph::Redraw() {
    GetScopeView().ScheduleRepaint();
}

void CnxK740RXCtrlScannerGraph::DrawInto(QPaintDevice& device) const {
    scope_->DrawInto(device);
}

TMarker* CnxK740RXCtrlScannerGraph::CreateMarker(int64_t hertz, const QString& comment,
                                                 uint32_t rgb, bool interactive) {
    TMarker* added = nullptr;
    if (!interactive) {
        added = GetScopeView().AddMarker(hertz, comment, rgb);
    } else if (hertz >= 0 && GetScopeView().GetMarkerRoom() > 0) {
        TMarker draft(&GetScopeView());
        draft.SetFrequency(hertz);
        draft.SetComment(comment);
        draft.SetRgb(rgb);
        CnxK740RXDlgStoreSpectrumLabel dialog(this, QStringLiteral(" Create Marker"));
        if (dialog.Execute(draft) == 1) {
            added =
                GetScopeView().AddMarker(draft.GetFrequency(), draft.GetComment(), draft.GetRgb());
        }
    }
    if (added != nullptr) {
        MarkersChanged();
    }
    return added;
}

void CnxK740RXCtrlScannerGraph::EditMarker() {
    if (selected_ == nullptr) {
        return;
    }
    TMarker copy(&GetScopeView());
    copy.CopyValuesFrom(*selected_);
    CnxK740RXDlgStoreSpectrumLabel dialog(this, QStringLiteral(" Edit Marker"));
    if (dialog.Execute(copy) == 1) {
        selected_->CopyValuesFrom(copy);
        GetScopeView().Relayout();
        MarkersChanged();
    }
}

void CnxK740RXCtrlScannerGraph::DeleteMarker() {
    if (selected_ == nullptr) {
        return;
    }
    GetScopeView().RemoveMarker(selected_);
    selected_ = nullptr;
    MarkersChanged();
}

void CnxK740RXCtrlScannerGraph::DeleteAllMarkers() {
    ScopeView& view = GetScopeView();
    if (view.GetMarkerCount() == 0) {
        return;
    }
    for (int i = view.GetMarkerCount() - 1; i >= 0; --i) {
        selected_ = view.GetMarker(i);
        view.RemoveMarker(selected_);
    }
    selected_ = nullptr;
    MarkersChanged();
}

void CnxK740RXCtrlScannerGraph::SetMarkers(const std::vector<SnxScopeMarker>& markers) {
    DeleteAllObjects();
    for (const SnxScopeMarker& marker : markers) {
        GetScopeView().AddMarker(marker.frequency, marker.comment, marker.rgb);
    }
}

std::vector<SnxScopeMarker> CnxK740RXCtrlScannerGraph::GetMarkers() const {
    return GetScopeView().GetMarkerRecords();
}

std::optional<CnxMarkerCsv::Result> CnxK740RXCtrlScannerGraph::ImportMarkers(const QString& path) {
    CnxMarkerCsv::Result result;
    if (!CnxMarkerCsv::Import(path, GetScopeView().GetMarkerRoom(), &result)) {
        return std::nullopt;
    }
    for (const SnxScopeMarker& marker : result.markers) {
        GetScopeView().AddMarker(marker.frequency, marker.comment, marker.rgb);
    }
    if (!result.markers.empty()) {
        MarkersChanged();
    }
    return result;
}

bool CnxK740RXCtrlScannerGraph::ExportMarkers(const QString& path) const {
    return CnxMarkerCsv::Export(path, GetMarkers());
}

bool CnxK740RXCtrlScannerGraph::ExportSweep(const QString& path) const {
    return CnxSweepCsv::Export(path, GetScopeView());
}

void CnxK740RXCtrlScannerGraph::ShowThreshold(double dbm) {
    GetScopeView().SetThreshold(dbm);
}

void CnxK740RXCtrlScannerGraph::ShowActivity(int64_t hertz, const SnxPointActivity& activity) {
    GetScopeView().SetActivity(hertz, activity);
}

void CnxK740RXCtrlScannerGraph::RaiseClick(int64_t hertz) {
    OnClick.Raise(this, hertz);
}

void CnxK740RXCtrlScannerGraph::ScrollTo(int64_t hertz) {
    GetScopeView().ScrollTo(hertz);
}

void CnxK740RXCtrlScannerGraph::BuildMenu() {
    menu_ = new QMenu(this);
    AddMenuItem(QStringLiteral("Create Marker..."), kMenuCreateMarker);
    AddMenuItem(QStringLiteral("Edit Marker..."), kMenuEditMarker);
    menu_->addSeparator();
    AddMenuItem(QStringLiteral("Show/Hide Markers"), kMenuShowHideMarkers);
    MenuItem(kMenuShowHideMarkers)->setCheckable(true);
    MenuItem(kMenuShowHideMarkers)->setChecked(true);
    menu_->addSeparator();
    AddMenuItem(QStringLiteral("Delete"), kMenuDelete);
    AddMenuItem(QStringLiteral("Delete All Markers"), kMenuDeleteAllMarkers);
    menu_->addSeparator();
    AddMenuItem(QStringLiteral("Import Markers..."), kMenuImportMarkers);
    AddMenuItem(QStringLiteral("Export Markers..."), kMenuExportMarkers);
    AddMenuItem(QStringLiteral("Export Sweep..."), kMenuExportSweep);
    menu_->addSeparator();
    AddMenuItem(QStringLiteral("Lock Out Channel"), kMenuLockOut);
    AddMenuItem(QStringLiteral("Unlock Channel"), kMenuUnlock);
    AddMenuItem(QStringLiteral("Unlock All"), kMenuUnlockAll);
}

void CnxK740RXCtrlScannerGraph::AddMenuItem(const QString& text, int id) {
    menu_->addAction(text)->setData(id);
}

QAction* CnxK740RXCtrlScannerGraph::MenuItem(int id) const {
    for (QAction* action : menu_->actions()) {
        if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

int64_t CnxK740RXCtrlScannerGraph::FrequencyAt(const QPoint& position) const {
    const ScopeView& view = GetScopeView();
    return view.GetPointFrequency(view.IndexOfRawFrequency(view.RawFrequencyAt(position.x())));
}

bool CnxK740RXCtrlScannerGraph::PrepareContextMenu(const QPoint& position) {
    if (IsRunning()) {
        return false;
    }
    const ScopeView& view = GetScopeView();
    const bool anyMarker = view.GetMarkerCount() > 0;
    TMarker* marker = view.HitTest(position);
    selected_ = marker;
    menuFrequency_ = marker != nullptr ? marker->GetFrequency() : FrequencyAt(position);
    MenuItem(kMenuCreateMarker)->setEnabled(marker == nullptr && view.GetMarkerRoom() > 0);
    MenuItem(kMenuEditMarker)->setEnabled(marker != nullptr);
    MenuItem(kMenuDelete)->setEnabled(marker != nullptr);
    MenuItem(kMenuShowHideMarkers)->setEnabled(anyMarker);
    MenuItem(kMenuShowHideMarkers)->setChecked(showHideLabels_ == kMarkersShown);
    MenuItem(kMenuDeleteAllMarkers)->setEnabled(anyMarker);
    MenuItem(kMenuExportMarkers)->setEnabled(anyMarker);
    MenuItem(kMenuExportSweep)->setEnabled(view.HasReadings());
    PrepareLockoutItems(view.IndexOfRawFrequency(view.RawFrequencyAt(position.x())));
    return true;
}

void CnxK740RXCtrlScannerGraph::PrepareLockoutItems(int index) {
    const ScopeView& view = GetScopeView();
    // Channels are locked out by their windows, as the scan's owner lays them over the points.
    const auto channel = CnxChannelPlan::ChannelOf(view.GetPointFrequency(index));
    menuChannel_ = channel ? channel->number : 0;
    const bool locked = view.IsLockedOut(index);
    const QString number = channel ? QStringLiteral(" %1").arg(menuChannel_) : QString();
    MenuItem(kMenuLockOut)->setText(QStringLiteral("Lock Out Channel") + number);
    MenuItem(kMenuLockOut)->setEnabled(channel && !locked);
    MenuItem(kMenuUnlock)->setText(QStringLiteral("Unlock Channel") + number);
    MenuItem(kMenuUnlock)->setEnabled(channel && locked);
    MenuItem(kMenuUnlockAll)->setEnabled(view.GetWalk().GetWalkedCount() < view.GetPointCount());
}

void CnxK740RXCtrlScannerGraph::ShowContextMenu(const QPoint& position) {
    if (!PrepareContextMenu(position)) {
        return;
    }
    if (const QAction* chosen = menu_->exec(scope_->mapToGlobal(position))) {
        MenuCommand(chosen->data().toInt());
    }
}

void CnxK740RXCtrlScannerGraph::MenuCommand(int id) {
    switch (id) {
        case kMenuCreateMarker:
            CreateMarker(menuFrequency_, QString(), SnxScopeMarker::kDefaultRgb, true);
            break;
        case kMenuEditMarker:
            EditMarker();
            break;
        case kMenuShowHideMarkers:
            SetShowHideLabels(showHideLabels_ == kMarkersShown ? kMarkersHidden : kMarkersShown);
            break;
        case kMenuDelete:
            DeleteMarker();
            break;
        case kMenuDeleteAllMarkers:
            DeleteAllMarkers();
            break;
        case kMenuImportMarkers:
            AskAndImportMarkers();
            break;
        case kMenuExportMarkers:
            AskAndExport(false);
            break;
        case kMenuExportSweep:
            AskAndExport(true);
            break;
        case kMenuLockOut:
            OnLockOutAsked.Raise(this, menuChannel_);
            break;
        case kMenuUnlock:
            OnUnlockAsked.Raise(this, menuChannel_);
            break;
        case kMenuUnlockAll:
            OnUnlockAsked.Raise(this, 0);
            break;
        default:
            break;
    }
}

QString CnxK740RXCtrlScannerGraph::GetFileFolder() const {
    return settings_ != nullptr ? QString::fromStdString(settings_->GetSettingsDir()) : QString();
}

QString CnxK740RXCtrlScannerGraph::AskForFile(const QString& caption, bool save) {
    QFileDialog dialog(this, caption, GetFileFolder(), kCsvFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // in the program's colours
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void CnxK740RXCtrlScannerGraph::AskAndImportMarkers() {
    const QString path = AskForFile(kImportCaption, false);
    if (path.isEmpty()) {
        return;
    }
    if (const auto result = ImportMarkers(path)) {
        QMessageBox::information(this, kImportCaption, result->Summary());
    } else {
        QMessageBox::warning(this, kImportCaption,
                             QStringLiteral("The file %1 could not be read.").arg(path));
    }
}

void CnxK740RXCtrlScannerGraph::AskAndExport(bool sweep) {
    const QString caption =
        sweep ? QStringLiteral("Export Sweep") : QStringLiteral("Export Markers");
    const QString path = AskForFile(caption, true);
    if (path.isEmpty()) {
        return;
    }
    if (!(sweep ? ExportSweep(path) : ExportMarkers(path))) {
        QMessageBox::warning(this, caption,
                             QStringLiteral("The file %1 could not be written.").arg(path));
    }
}

void CnxK740RXCtrlScannerGraph::EditMarkerAt(const QPoint& position) {
    if (TMarker* marker = GetScopeView().HitTest(position)) {
        selected_ = marker;
        EditMarker();
    }
}

void CnxK740RXCtrlScannerGraph::ClickedAt(const QPoint& position) {
    RaiseClick(FrequencyAt(position));
}

void CnxK740RXCtrlScannerGraph::SyncScrollBar() {
    const ScopeView& view = GetScopeView();
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, view.GetPointCount() - view.GetVisibleCount());
    scrollBar_->setPageStep(view.GetVisibleCount());
    scrollBar_->setValue(view.GetFirstVisible());
    scrollBar_->setVisible(view.GetVisibleCount() < view.GetPointCount());
}

void CnxK740RXCtrlScannerGraph::MarkersChanged() {
    OnMarkersChanged.Raise(this, GetScopeView().GetMarkerCount());
}
