#pragma once
#include "browse/FileListBox.h"

#include <QImage>
#include <functional>

namespace tintora {

// The file list with a look of its own: 22-pixel rows, the file's associated
// 16 x 16 icon and the name in the colour of its image type.
class TIconFileListBox : public TFileListBox {
public:
    // Gives the icon associated with a file (any size; it is reduced to 16 x 16),
    // or a null image when there is none.
    using IconProvider = std::function<QImage(const QString& path)>;

    explicit TIconFileListBox(QWidget* owner = nullptr);

    // Replaces the source of the row icons; an empty function restores the default.
    static void setIconProvider(IconProvider provider);
    // The host's icons for file types, at 16 x 16.
    static QImage defaultIcon(const QString& path);
    // The icon a row shows for a file, from the provider in use.
    static QImage iconFor(const QString& path);

    // The name colour for an item: by its lower-cased extension, else `fallback`.
    static ColorValue textColorFor(const QString& item, ColorValue fallback);

    void paintRow(Canvas& canvas, const Rect& rect, int row, bool selected, bool focused) const override;
    int rowHeight() const override { return 22; }
};

} // namespace tintora
