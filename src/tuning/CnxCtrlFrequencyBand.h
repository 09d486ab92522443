#pragma once
// The channel display of the main window: the sonobuoy channel of the tuned frequency with a lamp
// that is lit when the frequency is exactly on the channel, and below it the name of the band from
// the user's band file that holds the frequency.
#include <QWidget>
#include <cstdint>
#include <string>

#include "settings/CnxFrequencyBandList.h"

class QLabel;
class CnxCtrlLamp;

class CnxCtrlFrequencyBand : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kNoBandFileText = "Cannot find Bands.csv file";

    // Loads the band file at `path` at once.
    explicit CnxCtrlFrequencyBand(const std::string& path, QWidget* parent = nullptr);

    // A different path replaces the loaded bands with the new file's, when bands were loaded.
    void SetPath(const std::string& path);
    // Shows the first band holding f, or a single space when none does.
    void SetFrequency(int64_t frequency);
    void SetChannelText(const std::string& text);
    void SetOnChannel(bool on);

    const std::string& GetPath() const { return path_; }
    int64_t GetFrequency() const { return frequency_; }
    QString GetChannelText() const;
    QString GetBandName() const { return bandName_; }
    bool IsOnChannel() const;
    const CnxFrequencyBandList& GetBands() const { return bands_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowBandName(const QString& name);
    void ElideBandName();

    std::string path_;
    int64_t frequency_ = 0;
    CnxFrequencyBandList bands_;
    QString bandName_;
    QLabel* channel_ = nullptr;
    CnxCtrlLamp* onChannel_ = nullptr;
    QLabel* band_ = nullptr;
};
