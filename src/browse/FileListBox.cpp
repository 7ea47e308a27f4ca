#include "browse/FileListBox.h"

#include "browse/FileListPaths.h"
#include "platform/Canvas.h"
#include "platform/Guard.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace tintora {

InOutError::InOutError(int code, const QString& folder)
    : std::runtime_error(QStringLiteral("I/O error %1 (%2)").arg(code).arg(folder).toStdString()),
      m_code(code)
{
}

namespace {

bool matchGlob(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesFilePattern(const QString& pattern, const QString& name)
{
    if (pattern.isEmpty())
        return false;
    if (matchGlob(pattern, name))
        return true;
    return pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')) &&
           matchGlob(QStringView(pattern).chopped(2), name);
}

namespace {

// Remembers the screen cursor and puts it back however the read ends; the
// hourglass comes only once the read proves long.
class ReadCursor {
public:
    ReadCursor() : m_saved(screen().cursor()) {}
    ~ReadCursor() { screen().setCursor(m_saved); }
    ReadCursor(const ReadCursor&) = delete;
    ReadCursor& operator=(const ReadCursor&) = delete;
    void showHourglass() { screen().setCursor(CursorShape::Hourglass); }

private:
    CursorShape m_saved;
};

// The row count at which a read counts as long.
constexpr int hourglassRow = 100;

bool isHiddenEntry(const std::filesystem::directory_entry& entry, const QString& name)
{
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return QFileInfo(pathFromFs(entry.path())).isHidden();
#else
    Q_UNUSED(entry);
    return name.startsWith(QLatin1Char('.'));
#endif
}

// Links are followed, as opening the entry would.
EntryAttributes attributesOf(const std::filesystem::directory_entry& entry, const QString& name)
{
    std::error_code ec;
    EntryAttributes a;
    a.directory = entry.is_directory(ec);
    const bool file = entry.is_regular_file(ec);
    a.hidden = isHiddenEntry(entry, name);
    // Devices, pipes, sockets and dangling links are nothing a user opens.
    a.system = !a.directory && !file;
    // The host keeps no archive mark; every ordinary file counts as one to archive.
    a.archive = file;
    return a;
}

// Read-only is a mark of the file (its owner may not write it), not of who asks.
bool isReadOnlyEntry(const std::filesystem::directory_entry& entry)
{
    std::error_code ec;
    const std::filesystem::file_status status = entry.status(ec);
    return !ec &&
           (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

// The entries of the current directory, "." and ".." first as the host's listing
// gives them, each with its name as the program carries it.
std::vector<std::pair<std::filesystem::directory_entry, QString>> readCurrentFolder()
{
    namespace fs = std::filesystem;
    std::vector<std::pair<fs::directory_entry, QString>> entries;
    std::error_code ec;
    for (const char* dots : {".", ".."})
        entries.emplace_back(fs::directory_entry(fs::path(dots), ec), QString::fromLatin1(dots));
    fs::directory_iterator it(fs::path("."), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec))
        entries.emplace_back(*it, pathFromFs(it->path().filename()));
    return entries;
}

} // namespace

TFileListBox::TFileListBox(QWidget* owner) : QAbstractScrollArea(owner), m_color(clWindow)
{
    m_directory = currentFolder();
    resize(145, 97);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

TFileListBox::~TFileListBox() = default;

void TFileListBox::createList()
{
    if (m_created || m_creating)
        return;
    m_creating = true;
    m_created = true;
    try {
        RefreshFiles();
    } catch (...) {
        m_creating = false;
        throw;
    }
    m_creating = false;
}

void TFileListBox::ensureCreated() const { const_cast<TFileListBox*>(this)->createList(); }

// ---- properties -------------------------------------------------------------

QString TFileListBox::joinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString TFileListBox::FileName() const
{
    const int index = ItemIndex();
    if (index < 0)
        return {};
    return joinPath(m_directory, m_items[index]);
}

void TFileListBox::setFileName(const QString& text)
{
    if (text.isEmpty() || sameFileName(text, FileName()))
        return;
    const SplitPath parts = splitPath(text, currentPathAsListed(m_directory));
    setDirectory(parts.folder);
    if (isPatternName(parts.file)) {
        setMask(parts.file);
        return;
    }
    if (parts.file.isEmpty())
        return;
    selectByName(parts.file);
    // The current directory is the listed folder here, so the bare name is looked up there.
    if (!isFile(parts.file))
        throw FileNameError(QStringLiteral("Nom de fichier incorrect - %1").arg(text).toStdString());
    if (ItemIndex() < 0) {
        // The mask hides the file: narrow the list to that one name.
        narrowToName(parts.file);
        selectByName(parts.file);
    }
}

void TFileListBox::setDirectory(const QString& folder)
{
    if (sameFileName(folder, m_directory))
        return;
    // A relative folder is taken from the listed one while that still exists. The
    // folder keeps the spelling it was given (made absolute and clean): links in
    // it stay as the user named them.
    const QString base = isFolder(m_directory) ? m_directory : currentFolder();
    const QString given = QDir::fromNativeSeparators(folder);
    const QString target = QDir::cleanPath(QDir::isAbsolutePath(given) ? given : joinPath(base, given));
    if (const int code = enterFolder(target))
        throw InOutError(code, folder);
    m_directory = target;
    RefreshFiles();
}

void TFileListBox::setMask(const QString& mask)
{
    if (mask == m_mask && !m_maskIsName)
        return;
    m_mask = mask;
    m_maskIsName = false;
    RefreshFiles();
}

// The name is taken as it is: "*", "?" and ";" in it are its own characters.
void TFileListBox::narrowToName(const QString& name)
{
    m_mask = name;
    m_maskIsName = true;
    RefreshFiles();
}

void TFileListBox::setFileType(TFileType type)
{
    if (type == m_fileType)
        return;
    m_fileType = type;
    RefreshFiles();
}

void TFileListBox::setColor(ColorValue color)
{
    if (color == m_color)
        return;
    m_color = color;
    viewport()->update();
}

// ---- reading the folder -----------------------------------------------------

void TFileListBox::RefreshFiles()
{
    if (!m_created)
        return;
    unsigned searchAttr = m_fileType.toInt() & ~unsigned(TFileAttr::ftNormal);
    if (const int code = enterFolder(m_directory)) {
        // A folder that went away (its volume pulled out, say) gives way to the
        // nearest one still there; one that is there but cannot be entered is an error.
        const QString nearest = isFolder(m_directory) ? QString() : enterNearestAbove(m_directory);
        if (nearest.isEmpty())
            throw InOutError(code, m_directory);
        m_directory = nearest;
    }
    m_items.clear();
    m_itemIndex = -1;
    m_caret = 0;
    addEntries(searchAttr);
    verticalScrollBar()->setValue(0);
    updateScrollBar();
    viewport()->update();
    change();
}

void TFileListBox::addEntries(unsigned searchAttr)
{
    const QStringList patterns = m_maskIsName ? QStringList() : m_mask.split(QLatin1Char(';'));
    const bool everyEntry = m_fileType.testFlag(TFileAttr::ftNormal);
    ReadCursor cursor;
    for (const auto& [entry, name] : readCurrentFolder()) {
        int matches = m_maskIsName && sameFileName(name, m_mask) ? 1 : 0;
        for (const QString& pattern : patterns)
            matches += matchesFilePattern(pattern, name) ? 1 : 0;
        if (matches == 0)
            continue;
        const EntryAttributes a = attributesOf(entry, name);
        if ((a.hidden && !(searchAttr & unsigned(TFileAttr::ftHidden))) ||
            (a.system && !(searchAttr & unsigned(TFileAttr::ftSystem))) ||
            (a.directory && !(searchAttr & unsigned(TFileAttr::ftDirectory))))
            continue;
        if (!everyEntry) {
            unsigned bits = (a.hidden ? 0x02u : 0u) | (a.system ? 0x04u : 0u) | (a.directory ? 0x10u : 0u) |
                            (a.archive ? 0x20u : 0u);
            // Only asked for when it matters: it costs a call to the file system.
            if ((searchAttr & unsigned(TFileAttr::ftReadOnly)) && isReadOnlyEntry(entry))
                bits |= 0x01u;
            if ((bits & searchAttr) == 0)
                continue;
        }
        const QString item = a.directory ? QStringLiteral("[%1]").arg(name) : name;
        for (int i = 0; i < matches; ++i) {
            m_items.append(item);
            if (m_items.size() == hourglassRow + 1)
                cursor.showHourglass();
        }
    }
    std::stable_sort(m_items.begin(), m_items.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
}

// ---- items and selection ----------------------------------------------------

int TFileListBox::ItemCount() const
{
    ensureCreated();
    return int(m_items.size());
}

QString TFileListBox::ItemText(int index) const
{
    ensureCreated();
    return index >= 0 && index < m_items.size() ? m_items[index] : QString();
}

int TFileListBox::ItemIndex() const
{
    ensureCreated();
    return m_itemIndex;
}

void TFileListBox::setItemIndex(int index)
{
    ensureCreated();
    if (index < 0 || index >= m_items.size())
        index = -1;
    if (index == m_itemIndex)
        return;
    m_itemIndex = index;
    if (index >= 0) {
        m_caret = index;
        scrollToRow(index);
    }
    viewport()->update();
}

void TFileListBox::selectByName(const QString& name)
{
    ensureCreated();
    if (m_itemIndex >= 0 && sameFileName(name, m_items[m_itemIndex]))
        return;
    // The exact name first, so that on a case-sensitive host "a.bmp" does not pick "A.bmp".
    qsizetype found = m_items.indexOf(name);
    if (found < 0) {
        const auto it = std::find_if(m_items.cbegin(), m_items.cend(), [&](const QString& item) {
            return QString::compare(item, name, Qt::CaseInsensitive) == 0;
        });
        found = it == m_items.cend() ? -1 : it - m_items.cbegin();
    }
    setItemIndex(int(found));
    change();
}

void TFileListBox::change()
{
    m_lastSel = m_itemIndex;
    fire(OnChange, this);
}

void TFileListBox::userSelect(int row)
{
    if (row < 0 || row >= m_items.size())
        return;
    setItemIndex(row);
    m_caret = row;
    // Compared with the last notification, not with the row shown as selected.
    if (m_itemIndex != m_lastSel)
        change();
}

} // namespace tintora
