#pragma once
// The channel bar graph of one receiver slot: the levels of its scan over the scan range, one bar
// per step from -40 dBm at the top to -120 dBm at the bottom, with the weakest and strongest level
// of each step over past sweeps, the read-out of the point under the cursor, zoom, and the markers
// with their context menu, where channels are also locked out of the scan and unlocked. The levels
// and markers live in the window's ScopeView.
// It shows the scan its controller runs: while scanning the read-out is frozen and no menu opens;
// while scanning or paused the samples of the run land at their points.
#include <QFrame>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/K740RXMessageRecords.h"
#include "core/TmyEvents.h"
#include "scanner/CnxMarkerCsv.h"
#include "scanner/InxActivityGraph.h"
#include "scanner/SnxScopeMarker.h"

class CnxCtrlScopeView;
class CnxK740RXFileIniApp;
class CnxScanStepper;
class QFileDialog;
class QMenu;
class QScrollBar;
class ScopeView;
class TMarker;

class CnxK740RXCtrlScannerGraph : public QFrame, public InxActivityGraph {
    Q_OBJECT
public:
    // Context menu items.
    enum MenuId {
        kMenuCreateMarker = 1,
        kMenuEditMarker = 2,
        kMenuShowHideMarkers = 4,
        kMenuDelete = 6,
        kMenuDeleteAllMarkers = 7,
        kMenuImportMarkers = 9,
        kMenuExportMarkers = 10,
        kMenuExportSweep = 11,
        kMenuLockOut = 12,
        kMenuUnlock = 13,
        kMenuUnlockAll = 14,
    };
    // "ShowHideLabels": markers shown or hidden.
    static constexpr int kMarkersShown = 8;
    static constexpr int kMarkersHidden = 0;

    CnxK740RXCtrlScannerGraph(QWidget* parent, int slot);
    ~CnxK740RXCtrlScannerGraph() override;

    int GetSlotIndex() const { return slot_; }
    // Borrowed: the slot's "ShowHideLabels" is read from it now and written to it on each change.
    void SetSettings(CnxK740RXFileIniApp* settings);

    // The scan modes it shows, as the scan buttons have them.
    static constexpr int32_t kScanRunning = 1;
    static constexpr int32_t kScanPaused = 3;
    static constexpr int32_t kScanStopped = 4;

    // A sample of the shown run at its point; false (dropped) for any other.
    bool AddLevel(const ScanSample& sample);
    // Forgets every level, unless running.
    void Clear();
    void DeleteAllObjects();

    // The points laid out, as the receiver walks them; the levels stay when the range and step are
    // the same. False (nothing changes) during a run or for a walk without points.
    bool SetWalk(const CnxScanStepper& walk);
    // The scan's mode and the run whose samples it takes.
    void ShowScan(int32_t mode, uint16_t run);
    bool IsRunning() const;

    void SetShowHideLabels(int value);
    int GetShowHideLabels() const { return showHideLabels_; }

    // Repaints the whole graph at the next tick.
    void Redraw();

    // Draws the current picture with print colours, filling the device.
    void DrawInto(QPaintDevice& device) const;

    // Markers: at most SnxScopeMarker::kMaxMarkers. Interactive creation asks for the comment
    // first; null when cancelled or when the graph holds no more.
    TMarker* CreateMarker(int64_t hertz, const QString& comment, uint32_t rgb, bool interactive);
    void EditMarker();
    void DeleteMarker();
    void DeleteAllMarkers();
    void SelectMarker(TMarker* marker) { selected_ = marker; }
    TMarker* GetSelectedMarker() const { return selected_; }
    // Replaces every marker (markers kept for the radio), without raising OnMarkersChanged.
    void SetMarkers(const std::vector<SnxScopeMarker>& markers);
    std::vector<SnxScopeMarker> GetMarkers() const;
    // Files chosen by the operator. An import adds what the file holds as far as there is room
    // and says what it left out; nothing when the file cannot be read. The exports are false when
    // the file cannot be written.
    std::optional<CnxMarkerCsv::Result> ImportMarkers(const QString& path);
    bool ExportMarkers(const QString& path) const;
    bool ExportSweep(const QString& path) const;

    // Where the file dialogs open: the program's documents folder (the settings folder) once the
    // settings are known.
    QString GetFileFolder() const;
    // A CSV file dialog in the documents folder; `.csv` is added to a name typed without a suffix.
    QString AskForFile(const QString& caption, bool save);

    void RaiseClick(int64_t hertz);
    void ScrollTo(int64_t hertz);

    // Makes the menu ready for a right click at a point of the plot window: which items apply, the
    // marker under it selected, the frequency it was opened at. False (no menu) while running.
    bool PrepareContextMenu(const QPoint& position);
    void ShowContextMenu(const QPoint& position);
    void MenuCommand(int id);
    QMenu* GetContextMenu() const { return menu_; }
    int64_t GetMenuFrequency() const { return menuFrequency_; }

    ScopeView& GetScopeView();
    const ScopeView& GetScopeView() const;
    CnxCtrlScopeView* GetScopeWindow() const { return scope_; }

    // The activity threshold line and each frequency's hits, as the activity log tells them.
    void ShowThreshold(double dbm) override;
    void ShowActivity(int64_t hertz, const SnxPointActivity& activity) override;

    // The frequency clicked on the plot (no handler in the main window).
    TmyEventList<int64_t> OnClick;
    // The operator drags the activity threshold line to this level (dBm).
    TmyEventList<double> OnThresholdAsked;
    // The markers changed by the operator (count of markers), so they can be kept at once.
    TmyEventList<int> OnMarkersChanged;
    // The operator asks to lock a channel out of the scan, or to unlock one (0: every channel).
    // The scan's owner decides; the graph shows the points it is given.
    TmyEventList<int> OnLockOutAsked;
    TmyEventList<int> OnUnlockAsked;

private:
    void BuildMenu();
    void AddMenuItem(const QString& text, int id);
    QAction* MenuItem(int id) const;
    void EditMarkerAt(const QPoint& position);
    void ClickedAt(const QPoint& position);
    void SyncScrollBar();
    void MarkersChanged();
    void PrepareLockoutItems(int index);
    int64_t FrequencyAt(const QPoint& position) const;
    void AskAndImportMarkers();
    void AskAndExport(bool sweep);

    int slot_;
    int showHideLabels_ = kMarkersShown;
    CnxK740RXFileIniApp* settings_ = nullptr;
    CnxCtrlScopeView* scope_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    QMenu* menu_ = nullptr;
    TMarker* selected_ = nullptr;
    int64_t menuFrequency_ = 0;
    int menuChannel_ = 0;
};
