#include "SimFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

SimFile::SimFile(const std::string& text)
    : path_(folder_.filePath(QStringLiteral("radios.ini")).toStdString()) {
    write(text);
    setenv("QVK740RX_SIM", path_.c_str(), 1);
}

SimFile::~SimFile() {
    unsetenv("QVK740RX_SIM");
}

void SimFile::write(const std::string& text) {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << text;
    ASSERT_TRUE(file.good()) << path_;
}

std::string SimFile::radio(int number, const std::string& serial, const std::string& product,
                           bool extended, bool connected) {
    return "[radio" + std::to_string(number) + "]\nserial = " + serial + "\nproduct = " + product +
           "\nextended = " + (extended ? "1" : "0") + "\nconnected = " + (connected ? "1" : "0") +
           "\n";
}
