#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tintora::test {

namespace fs = std::filesystem;

std::string dataFile(const std::string& relative) { return std::string(TINTORA_TEST_DATA "/") + relative; }

fs::path corpusRoot() { return TINTORA_CORPUS; }

std::vector<fs::path> filesWithExtension(const fs::path& folder, const std::string& extension)
{
    std::vector<fs::path> out;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension)
            out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
}

TempFolder::TempFolder() { EXPECT_TRUE(m_dir.isValid()); }

TempFolder::~TempFolder()
{
    // A test may have taken away the write permission to check a failed save;
    // give it back, or the folder could not be emptied.
    std::error_code ec;
    fs::permissions(dir(), fs::perms::owner_all, fs::perm_options::add, ec);
}

QString TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
    return path;
}

QString TempFolder::mkdir(const QString& name) const
{
    const QString path = file(name);
    QDir().mkpath(path);
    return path;
}

fs::path TempFolder::dir() const { return fs::path(QFile::encodeName(m_dir.path()).toStdString()); }

std::vector<std::string> TempFolder::names() const
{
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir()))
        out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace tintora::test
