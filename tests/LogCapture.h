#pragma once
// Keeps the log lines of one category (or of all), or only its warnings, while it exists, whichever
// thread logs them.
#include <QLoggingCategory>
#include <QString>
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

class LogCapture {
public:
    // `category` empty takes every category; debug lines are switched on for a named one.
    explicit LogCapture(std::string category = {}, bool warningsOnly = false) {
        std::lock_guard lock(mutex_);
        lines_.clear();
        category_ = std::move(category);
        warningsOnly_ = warningsOnly;
        if (!category_.empty() && !warningsOnly) {
            QLoggingCategory::setFilterRules(QString::fromStdString(category_ + ".debug=true"));
        }
        previous_ = qInstallMessageHandler(&LogCapture::Record);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        if (!category_.empty() && !warningsOnly_) {
            QLoggingCategory::setFilterRules("");
        }
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Hands over the lines kept so far and starts afresh.
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(lines_, {});
    }
    bool Contains(const std::string& line) const {
        std::lock_guard lock(mutex_);
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    bool AnyContains(const std::string& part) const {
        std::lock_guard lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }
    std::size_t CountStartingWith(const std::string& prefix) const {
        std::lock_guard lock(mutex_);
        return std::count_if(lines_.begin(), lines_.end(),
                             [&](const std::string& l) { return l.starts_with(prefix); });
    }

private:
    static void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        std::lock_guard lock(mutex_);
        if ((!warningsOnly_ || type == QtWarningMsg) &&
            (category_.empty() || (context.category != nullptr && category_ == context.category))) {
            lines_.push_back(text.toStdString());
        }
    }

    static inline std::mutex mutex_;
    static inline std::vector<std::string> lines_;
    static inline std::string category_;
    static inline bool warningsOnly_ = false;
    QtMessageHandler previous_ = nullptr;
};
