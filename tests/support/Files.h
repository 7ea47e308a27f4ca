#pragma once
// Files on disk for the tests: the checked-in fixtures, the optional third-party
// corpus, whole-file reads and writes, and throwaway folders.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tintora::test {

// A checked-in fixture by its format folder and name: dataFile("jpeg/testorig.jpg").
std::string dataFile(const std::string& relative);

// The whole third-party corpus. Only the corpus suite reads it, and that suite
// skips itself when the folder is absent, as it is on a fresh clone.
std::filesystem::path corpusRoot();

// The files directly in a folder whose extension is `extension` (".png"), sorted.
std::vector<std::filesystem::path> filesWithExtension(const std::filesystem::path& folder,
                                                      const std::string& extension);

// Every byte of a file; empty when it cannot be read.
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
QByteArray readFile(const QString& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder removed at the end of the test, even one a test made read-only.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Writes bytes to a file under the folder (creating sub-folders) and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;
    QString mkdir(const QString& name) const;

    // The same folder for code that works with standard paths.
    std::filesystem::path dir() const;
    std::filesystem::path operator/(const std::string& name) const { return dir() / name; }
    // The names of the entries directly inside, sorted.
    std::vector<std::string> names() const;

private:
    QTemporaryDir m_dir;
};

} // namespace tintora::test
