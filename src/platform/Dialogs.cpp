#include "platform/Dialogs.h"

namespace tintora {

QString PromptSaveFileName(const QString& title, const std::vector<FileFilter>& filters,
                           const QString& initialFolder)
{
    return prompts().saveFileName(title, filters, initialFolder);
}

QString PromptOpenFileName(const QString& title, const std::vector<FileFilter>& filters,
                           const QString& initialFolder)
{
    return prompts().openFileName(title, filters, initialFolder);
}

} // namespace tintora
