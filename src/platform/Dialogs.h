#pragma once
#include "platform/Prompts.h"

#include <QString>
#include <vector>

namespace tintora {

// The save-file dialog: title, filter pairs and initial folder in; the chosen
// path, or an empty text when cancelled, out. No extension is added.
QString PromptSaveFileName(const QString& title, const std::vector<FileFilter>& filters,
                           const QString& initialFolder);

// The file-browse dialog for opening one file; empty when cancelled.
QString PromptOpenFileName(const QString& title, const std::vector<FileFilter>& filters,
                           const QString& initialFolder);

} // namespace tintora
