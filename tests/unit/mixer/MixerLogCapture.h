#pragma once
// Collects the mixer's diagnostics while it lives (they come from the worker thread too).
#include <QLoggingCategory>
#include <QString>
#include <mutex>
#include <string>
#include <vector>

class MixerLogCapture {
public:
    MixerLogCapture() {
        std::lock_guard lock(Mutex());
        Lines().clear();
        QLoggingCategory::setFilterRules("k740.mixer.debug=true");
        previous_ = qInstallMessageHandler(&MixerLogCapture::Record);
    }
    ~MixerLogCapture() {
        qInstallMessageHandler(previous_);
        QLoggingCategory::setFilterRules("");
    }

    bool Contains(const std::string& line) const {
        std::lock_guard lock(Mutex());
        for (const std::string& l : Lines()) {
            if (l == line) {
                return true;
            }
        }
        return false;
    }
    std::size_t CountStartingWith(const std::string& prefix) const {
        std::lock_guard lock(Mutex());
        std::size_t count = 0;
        for (const std::string& l : Lines()) {
            count += l.starts_with(prefix) ? 1 : 0;
        }
        return count;
    }

private:
    static void Record(QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && std::string(context.category) == "k740.mixer") {
            std::lock_guard lock(Mutex());
            Lines().push_back(text.toStdString());
        }
    }
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

    QtMessageHandler previous_ = nullptr;
};
