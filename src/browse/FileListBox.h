#pragma once
#include "imaging/Bitmap.h"
#include "imaging/ColorValue.h"
#include "platform/ShiftState.h"

#include <QAbstractScrollArea>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace tintora {

class Canvas;

// Which directory entries a file list shows. The first six carry the file
// attribute bit they search for; ftNormal adds no bit and lets every entry through.
enum class TFileAttr : unsigned {
    ftReadOnly = 0x01,
    ftHidden = 0x02,
    ftSystem = 0x04,
    ftVolumeID = 0x08,
    ftDirectory = 0x10,
    ftArchive = 0x20,
    ftNormal = 0x80,
};
using TFileType = QFlags<TFileAttr>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileType)

// A folder that cannot be entered: the runtime's input/output error.
class InOutError : public std::runtime_error {
public:
    InOutError(int code, const QString& folder);
    int code() const { return m_code; }

private:
    int m_code;
};

// A name applied to the list that names no existing file.
class FileNameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One directory entry as the list's filter sees it.
struct EntryAttributes {
    bool readOnly = false, hidden = false, system = false, directory = false, archive = false;
};

// Case-insensitive file pattern with "*" and "?". As on the shell, a pattern
// ending in ".*" also takes names without an extension, so "*.*" takes all.
bool matchesFilePattern(const QString& pattern, const QString& name);

// A single-selection list of the files of one folder that match a mask. It keeps
// the process's current directory at the listed folder, because relative names
// given to it (and to its owner) are resolved there.
class TFileListBox : public QAbstractScrollArea {
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TKeyEvent = std::function<void(QObject* sender, int& key, ShiftState shift)>;

    explicit TFileListBox(QWidget* owner = nullptr);
    ~TFileListBox() override;

    // Full path of the selected file; empty when nothing is selected.
    QString FileName() const;
    // A folder, or a folder and a file (absolute, or relative to the listed
    // folder); a bare item name selects that item. Only the host's separator
    // separates; on Windows, where no name holds "*" or "?", a last name with
    // them is taken as the mask.
    void setFileName(const QString& path);

    QString Directory() const { return m_directory; }
    void setDirectory(const QString& folder);
    QString Mask() const { return m_mask; }
    void setMask(const QString& mask);
    TFileType FileType() const { return m_fileType; }
    void setFileType(TFileType type);
    ColorValue Color() const { return m_color; }
    void setColor(ColorValue color);

    // Reads the folder again. A listed folder that no longer exists gives way to
    // the nearest folder above it, quietly; Directory tells which.
    void RefreshFiles();

    // Reading the items or the selection creates the list (and reads the folder)
    // if that has not happened yet, as showing it does.
    int ItemCount() const;
    QString ItemText(int index) const;
    int ItemIndex() const;
    // Selects a row (-1 or out of range: none) without a change notification.
    void setItemIndex(int index);

    // Draws one row into rect: background, text and, when focused, the focus rectangle.
    virtual void paintRow(Canvas& canvas, const Rect& rect, int row, bool selected, bool focused) const;
    virtual int rowHeight() const;

    TNotifyEvent OnChange;
    TKeyEvent OnKeyUp;

protected:
    // Turns the list's window into being: the first read of the folder.
    void createList();
    bool listCreated() const { return m_created; }
    const QStringList& items() const { return m_items; }

    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    static void drawFocusRect(Canvas& canvas, const Rect& rect);
    static QString joinPath(const QString& folder, const QString& name);

private:
    void ensureCreated() const;
    void readFolder();
    void addEntries(unsigned searchAttr);
    void selectByName(const QString& name);
    void narrowToName(const QString& name);
    void change();
    void userSelect(int row);
    int rowAt(int y) const;
    int visibleRows() const;
    void scrollToRow(int row);
    void updateScrollBar();
    int nextRowStartingWith(QChar c) const;

    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
    bool m_maskIsName = false; // the mask is one file's name, not patterns
    TFileType m_fileType = TFileAttr::ftNormal;
    ColorValue m_color;
    QStringList m_items;
    int m_itemIndex = -1;
    int m_caret = 0;
    int m_lastSel = -1;
    bool m_created = false;
    bool m_creating = false;
};

} // namespace tintora
