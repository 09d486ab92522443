#pragma once
// The start-up window: the product's name, one status text and a progress bar.
#include <QWidget>
#include <string>

#include "ui/TmyComponent.h"

class QLabel;
class QProgressBar;

constexpr UINT WM_SPLASH_TEXT = WM_USER + 250;  // wParam: std::string* (taken over), lParam: length
constexpr UINT WM_SPLASH_PROGRESS = WM_USER + 251;  // wParam: percent 0-100

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
