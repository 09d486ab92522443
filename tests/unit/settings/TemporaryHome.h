#pragma once
// A fresh, empty home folder for one test: the documents folder and with it the settings file
// move there, and the previous home comes back when the test ends.
#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TemporaryHome {
public:
    TemporaryHome() : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", folder_.path().toUtf8());
        // The documents folder could otherwise be redirected by the real user's folder settings.
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TemporaryHome() {
        qputenv("HOME", oldHome_);
        if (!oldConfig_.isEmpty()) {
            qputenv("XDG_CONFIG_HOME", oldConfig_);
        }
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    std::string Path() const { return folder_.path().toStdString(); }
    std::string SettingsDir() const { return Path() + "/Documents/Quorvant/K740RX"; }
    std::string SettingsFile() const { return SettingsDir() + "/K740RX.ini"; }

    // Puts a settings file in place before the program reads it.
    void WriteSettings(const std::string& text) const {
        std::filesystem::create_directories(SettingsDir());
        WriteText(SettingsFile(), text);
    }
    std::string ReadSettings() const { return ReadText(SettingsFile()); }

    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

private:
    QTemporaryDir folder_;
    QByteArray oldHome_;
    QByteArray oldConfig_;
};
