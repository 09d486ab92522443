#pragma once
// One INI file. The file is read once, on first use, and kept in memory; writes change that copy
// and Flush (or destruction) puts it back on disk in one step: the new text goes to a temporary
// file in the same folder, which then replaces the old file, so a crash never leaves half a file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/CnxFileSystem.h"
#include "settings/CnxIniDocument.h"

class CnxFileIni : public CnxFileSystem {
public:
    static constexpr size_t kMaxValueLength = 259;

    // The file is <program folder>/<name>.ini, "MyIniFile.ini" when no name is given.
    explicit CnxFileIni(const std::string& name = {});
    ~CnxFileIni() override;
    CnxFileIni(const CnxFileIni&) = delete;
    CnxFileIni& operator=(const CnxFileIni&) = delete;

    // Moves the file to another folder; changes not yet flushed go to the old file first.
    void SetFolder(const std::string& folder);

    // From now on (until SetFolder) the file is this text: it is read from it at once, it always
    // exists, and each write of the file replaces it, without anything going to disk.
    void UseMemoryFile(std::string& file);
    // Whether the file is there, and creating it (with its folders) when it is not.
    bool Exists();
    bool Create();
    const std::string& GetFolder() const { return folder_; }
    const std::string& GetFileName() const { return fileName_; }
    const std::string& GetFilePath() const { return filePath_; }
    const std::string& GetFilter() const { return filter_; }

    // The key's leading decimal number (saturated to 32 bits), 0 when it does not start with one,
    // the default when the key is missing.
    int32_t ReadInt(std::string_view section, std::string_view key, int32_t defaultValue);
    // The key's value up to its first NUL, at most maxLength characters and trimmed again after
    // cutting; empty when missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           size_t maxLength = kMaxValueLength);
    bool WriteInt(std::string_view section, std::string_view key, int32_t value);
    // A value holds one line: anything from its first line feed or NUL on is not written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view text);
    // The sections' names as the file writes them, in file order.
    std::vector<std::string> ReadSectionNames();
    bool DeleteSection(std::string_view section);

    // Replaces the whole file by a single space at once.
    bool CreateWithSpace();
    // Ends the file with an empty line that separates what follows; a file that already ends with
    // one is left as it is, so repeated saves do not make it grow.
    bool AppendLineFeed();
    // Writes the changes made since the last write; true when there was nothing to write, or the
    // text came out as the file already holds it. A file without write permission is never
    // replaced: that fails with "WriteFile" and the reason.
    bool Flush();

private:
    CnxIniDocument* Document();
    void Load();
    bool WriteAtomically(const std::string& text);

    std::string fileName_;
    std::string folder_;
    std::string filePath_;
    std::string filter_ = "INI Subory (*.INI)|*.INI|INI subory (*.ini)|*.ini|All Files (*.*)|*.*||";
    std::optional<CnxIniDocument> document_;
    bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
    std::string* memoryFile_ = nullptr;
    std::optional<std::string> writtenText_;  // the file's text as last read or written
    bool dirty_ = false;
};
