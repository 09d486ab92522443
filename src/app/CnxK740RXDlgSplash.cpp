#include "app/CnxK740RXDlgSplash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <memory>

#include "ui/TmyColorScheme.h"

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 275;
constexpr int kStatusBottom = 238;  // the status text grows upwards from here
constexpr int kMargin = 16;
}  // namespace

CnxK740RXDlgSplash::CnxK740RXDlgSplash(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    setWindowTitle(QStringLiteral("Splash K740RX Sonobuoy Receiver"));
    setFixedSize(kWidth, kHeight);
    scheme.ApplyTo(*this);
    setStyleSheet(
        QStringLiteral("CnxK740RXDlgSplash { border: 1px solid %1; }").arg(scheme.border.name()));

    auto* product = new QLabel(QStringLiteral("K740RX"), this);
    product->setFont(scheme.displayFont(40));
    product->setStyleSheet(QStringLiteral("color: %1;").arg(scheme.display.name()));
    product->setAlignment(Qt::AlignCenter);
    product->setGeometry(0, 40, kWidth, 56);

    auto* subtitle = new QLabel(QStringLiteral("Sonobuoy Receiver"), this);
    QFont subtitleFont = scheme.uiFont();
    subtitleFont.setPixelSize(16);
    subtitle->setFont(subtitleFont);
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setGeometry(0, 98, kWidth, 24);

    status_ = new QLabel(this);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    status_->setWordWrap(true);
    status_->setProperty("secondary", true);
    status_->setStyleSheet(QStringLiteral("color: %1;").arg(scheme.textSecondary.name()));

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setGeometry(kMargin, kStatusBottom + 8, kWidth - 2 * kMargin, 10);
    ShowText(std::string(), 0);
}

QString CnxK740RXDlgSplash::Text() const {
    return status_->text();
}

QRect CnxK740RXDlgSplash::TextGeometry() const {
    return status_->geometry();
}

int CnxK740RXDlgSplash::Progress() const {
    return progress_->value();
}

void CnxK740RXDlgSplash::CenterOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect desktop = screen->availableGeometry();
    const int x = std::max(desktop.left(), desktop.left() + (desktop.width() - width()) / 2);
    const int y = std::max(desktop.top(), desktop.top() + (desktop.height() - height()) / 2);
    move(x, y);
}

void CnxK740RXDlgSplash::ShowText(const std::string& text, int length) {
    const std::size_t count =
        length > 0 ? std::min<std::size_t>(text.size(), std::size_t(length)) : text.size();
    status_->setText(QString::fromLocal8Bit(text.data(), qsizetype(count)));
    // The label keeps its bottom edge on one line however many lines the text has.
    const int height = status_->heightForWidth(kWidth - 2 * kMargin);
    const int textHeight = std::max(height, status_->sizeHint().height());
    status_->setGeometry(kMargin, kStatusBottom - textHeight, kWidth - 2 * kMargin, textHeight);
    repaint();
}

void CnxK740RXDlgSplash::OnWindowMessage(const TmyMessage& message) {
    switch (message.message) {
        case WM_SPLASH_TEXT: {
            std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(message.wParam));
            if (text) {
                ShowText(*text, int(message.lParam));
            }
            break;
        }
        case WM_SPLASH_PROGRESS:
            progress_->setValue(std::clamp(int(message.wParam), 0, 100));
            repaint();
            break;
        case WM_CLOSE:
            hide();
            break;
        default:
            break;
    }
}

void CnxK740RXDlgSplash::closeEvent(QCloseEvent* event) {
    // The splash goes when start-up says so, not when a window manager asks.
    event->ignore();
}
