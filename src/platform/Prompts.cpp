#include "platform/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace tintora {

namespace {

QPointer<QWidget>& ownerSlot()
{
    static QPointer<QWidget> owner;
    return owner;
}

QMessageBox::Icon qtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtPrompts final : public Prompts {
public:
    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon, PromptButtons buttons,
                         PromptAnswer defaultButton) override
    {
        QMessageBox box(qtIcon(icon), title, QString(text).replace(QChar('\r'), QChar('\n')),
                        QMessageBox::NoButton, dialogOwner());
        if (buttons == PromptButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(defaultButton == PromptAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        default:
            return PromptAnswer::Cancel;
        }
    }

    QString saveFileName(const QString& title, const std::vector<FileFilter>& filters,
                         const QString& initialFolder) override
    {
        // Qt's dialog confirms overwriting by default and adds no suffix of its own.
        return QFileDialog::getSaveFileName(dialogOwner(), title, initialFolder, qtNameFilters(filters));
    }

    QString openFileName(const QString& title, const std::vector<FileFilter>& filters,
                         const QString& initialFolder) override
    {
        return QFileDialog::getOpenFileName(dialogOwner(), title, initialFolder, qtNameFilters(filters));
    }
};

Prompts*& installed()
{
    static Prompts* p = nullptr;
    return p;
}

} // namespace

Prompts& prompts()
{
    static QtPrompts qtPrompts;
    return installed() ? *installed() : qtPrompts;
}

Prompts* setPrompts(Prompts* p)
{
    Prompts* previous = installed();
    installed() = p;
    return previous;
}

void setDialogOwner(QWidget* owner) { ownerSlot() = owner; }

QWidget* dialogOwner()
{
    if (ownerSlot())
        return ownerSlot();
    return QApplication::activeWindow();
}

QString qtNameFilters(const std::vector<FileFilter>& filters)
{
    QStringList parts;
    for (const auto& [description, pattern] : filters) {
        const QString trimmed = description.trimmed();
        parts << (trimmed.contains(QLatin1Char('(')) ? trimmed : trimmed + " (" + pattern + ")");
    }
    return parts.join(QStringLiteral(";;"));
}

} // namespace tintora
