#pragma once
// The start-up window: the product's name, one status text and a progress bar.
#include <QWidget>
#include <string>

#include "app/K740RXAppMessages.h"
#include "core/TmyComponent.h"

class QLabel;
class QProgressBar;

class CnxK740RXDlgSplash : public QWidget, public TmyComponent {
public:
    explicit CnxK740RXDlgSplash(QWidget* owner);

    QString Text() const;
    int Progress() const;
    QRect TextGeometry() const;

    // Centres the window on the screen, wholly on it.
    void CenterOnDesktop();

protected:
    void OnWindowMessage(const TmyMessage& message) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowText(const std::string& text, int length);

    QLabel* status_;
    QProgressBar* progress_;
};
