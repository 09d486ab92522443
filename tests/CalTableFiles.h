#pragma once
// Calibration tables for tests of the calibration library and its binding: files written into a
// private folder, a small table with round numbers, and the sample table shipped beside the
// program.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <string_view>

class CalTableFiles {
public:
    // The library's name as the program gives it.
    static constexpr const char* kLibrary = "smetersdk.dll";

    // Mode 3 of model QVK740R at two frequency points. At 100 MHz: raw 0, 51, 255 read -130, -110,
    // -30 dBm; at 200 MHz: raw 0 and 255 read -128 and -28 dBm.
    static constexpr std::string_view kSmallTable =
        "K740CAL 1\n"
        "model QVK740R\n"
        "mode 3\n"
        "frequency 100000000\n"
        "0 -130.00\n"
        "51 -110.00\n"
        "255 -30.00\n"
        "frequency 200000000\n"
        "0 -128.00\n"
        "255 -28.00\n"
        "end\n";

    static std::string Shipped() {
        return (QCoreApplication::applicationDirPath() + QStringLiteral("/qvk74m.cal"))
            .toStdString();
    }

    std::string Path(const std::string& name) const {
        return folder_.filePath(QString::fromStdString(name)).toStdString();
    }

    // Writes the text as a file of that name and returns its path.
    std::string Write(const std::string& name, std::string_view text) const {
        QFile file(QString::fromStdString(Path(name)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return {};
        }
        file.write(text.data(), qint64(text.size()));
        return Path(name);
    }

private:
    QTemporaryDir folder_;
};
