#pragma once
#include "browse/IconFileListBox.h"
#include "support/Fakes.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace tintora::test {

// A file list over a fresh folder; the process's current directory is put back afterwards.
class FileListTest : public ::testing::Test {
protected:
    void SetUp() override { m_savedCurrent = QDir::currentPath(); }
    void TearDown() override
    {
        list.reset();
        QDir::setCurrent(m_savedCurrent);
    }

    // Creates empty files (and folders, for names ending in "/").
    void touch(const TempFolder& where, const QStringList& names) const
    {
        for (const QString& name : names) {
            if (name.endsWith(QLatin1Char('/')))
                where.mkdir(name.chopped(1));
            else
                where.write(name, "x");
        }
    }

    // A list created over `where`, counting its change notifications.
    TIconFileListBox& makeList(const TempFolder& where, const QString& mask = QStringLiteral("*.*"))
    {
        QDir::setCurrent(where.path());
        list = std::make_unique<TIconFileListBox>();
        list->setMask(mask);
        list->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, list.get());
            ++changes;
        };
        list->ItemCount(); // creates the list: the first read
        changes = 0;
        return *list;
    }

    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list->ItemCount(); ++i)
            names << list->ItemText(i);
        return names;
    }

    static QString canonical(const QString& path) { return QDir(path).canonicalPath(); }

    TempFolder folder;
    std::unique_ptr<TIconFileListBox> list;
    int changes = 0;

private:
    QString m_savedCurrent;
};

} // namespace tintora::test
