#pragma once
#include "browse/FolderTree.h"
#include "platform/Shell.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>

namespace tintora::test {

// A shell rooted in a fresh temporary folder: its desktop, drives and trash
// are folders there, so no test ever reads the real home or "/".
class TempShell final : public Shell {
public:
    explicit TempShell(const TempFolder& root)
        : desktop(root.mkdir(QStringLiteral("Desktop"))), trash(root.mkdir(QStringLiteral("Trash")))
    {
        m_previous = setShell(this);
    }
    ~TempShell() override { setShell(m_previous); }

    QString desktopPath() const override { return desktop; }
    std::vector<ShellItem> drives() const override { return driveList; }
    std::optional<ShellItem> recycleBin() const override
    {
        return ShellItem{trash, QStringLiteral("Trash"), false};
    }

    QString desktop;
    QString trash;
    std::vector<ShellItem> driveList;

private:
    Shell* m_previous = nullptr;
};

class FolderTreeTest : public ::testing::Test {
protected:
    FolderTreeTest() : shell(root)
    {
        drive = root.mkdir(QStringLiteral("drive"));
        shell.driveList = {{drive, QStringLiteral("System"), false}};
    }

    // A folder (and its parents) under the drive; returns its path.
    QString folder(const QString& relative) const
    {
        QDir().mkpath(drive + QLatin1Char('/') + relative);
        return drive + QLatin1Char('/') + relative;
    }

    TFolderTree& activate()
    {
        tree = std::make_unique<TFolderTree>();
        tree->OnChange = [this](QObject*, FolderNode* node) {
            changes.push_back(node ? node->path : "<none>");
        };
        tree->setActive(true);
        return *tree;
    }

    static QStringList texts(const QTreeWidgetItem* node)
    {
        QStringList result;
        for (int i = 0; i < node->childCount(); ++i)
            result << node->child(i)->text(0);
        return result;
    }

    FolderNode* driveNode() const { return tree->computerNode()->childNode(0); }

    TempFolder root;
    TempShell shell;
    QString drive;
    std::unique_ptr<TFolderTree> tree;
    std::vector<QString> changes;
};

} // namespace tintora::test
