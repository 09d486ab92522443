#include "mixer/CmqSerialPortList.h"

#include <QSerialPortInfo>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <sstream>

std::vector<std::string> CmqSerialPortList::Candidates() {
    std::vector<std::string> ports;
    if (const char* value = std::getenv(kVariable)) {
        ports = FromVariable(value);
    } else {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            ports.push_back(info.systemLocation().toStdString());
        }
        std::sort(ports.begin(), ports.end());
    }
    if (ports.size() > kMaxPorts) {
        ports.resize(kMaxPorts);
    }
    return ports;
}

std::vector<std::string> CmqSerialPortList::FromVariable(const std::string& value) {
    std::vector<std::string> ports;
    std::istringstream stream(value);
    std::string path;
    while (std::getline(stream, path, ':')) {
        if (!path.empty()) {
            ports.push_back(path);
        }
    }
    return ports;
}
