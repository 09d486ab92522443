#pragma once
// A simulation file in a private temporary folder, named in QVK740RX_SIM for as long as it lives.
#include <QTemporaryDir>
#include <string>

class SimFile {
public:
    explicit SimFile(const std::string& text);
    ~SimFile();
    SimFile(const SimFile&) = delete;
    SimFile& operator=(const SimFile&) = delete;

    // Rewrites the file in place, as a person editing it would.
    void write(const std::string& text);

    // Text of a [radioN] section.
    static std::string radio(int number, const std::string& serial, const std::string& product,
                             bool extended = false, bool connected = true);

private:
    QTemporaryDir folder_;
    std::string path_;
};
