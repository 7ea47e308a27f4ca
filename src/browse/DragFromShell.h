#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QMimeData;

namespace tintora {

// What a drag offers, read as the window's drop rules see it.
struct ShellDragOffer {
    bool hasFileList = false; // files from a folder window
    QString firstFile;        // full path of the first of them
    bool hasLinkAddress = false;
    QString address; // the link's address
    bool hasLinkName = false;
    QString linkName; // the link's name, a shortcut name already less its extension
};

// Reads a drag's data: local files are the file list; a remote address, with its
// title, or else its last path segment, as the name.
ShellDragOffer readShellDragOffer(const QMimeData* data);

// Makes its owner widget, with every widget inside it, one drop target for
// files from the desktop and links from other programs, and reports what is
// dragged in and what is dropped.
class TDragFromShell : public QObject {
public:
    using TShellDragEvent = std::function<void(QObject* sender, const QString& Filename, const QString& URL)>;

    // Fails with "Error installing component" when owner is no widget.
    explicit TDragFromShell(QObject* owner);
    ~TDragFromShell() override;

    TShellDragEvent OnShellDragEnter;
    TShellDragEvent OnShellDragDrop;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool covers(QObject* watched) const;
    void dragEnter(const QMimeData* data);
    void drop(const QMimeData* data);

    QObject* m_owner;
};

} // namespace tintora
