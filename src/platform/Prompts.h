#pragma once
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace tintora {

enum class PromptIcon { None, Information, Warning, Question, Error };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// A file-dialog filter: description and pattern, such as {"Bitmap (*.bmp)", "*.bmp"}.
using FileFilter = std::pair<QString, QString>;

// The questions the program asks the user: message boxes and file dialogs.
// The program uses Qt's dialogs; tests install a scripted fake.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A bare carriage return in text is a line break.
    virtual PromptAnswer message(const QString& text, const QString& title, PromptIcon icon,
                                 PromptButtons buttons, PromptAnswer defaultButton) = 0;
    // The chosen path, or an empty text when cancelled.
    virtual QString saveFileName(const QString& title, const std::vector<FileFilter>& filters,
                                 const QString& initialFolder) = 0;
    virtual QString openFileName(const QString& title, const std::vector<FileFilter>& filters,
                                 const QString& initialFolder) = 0;
};

// The Prompts in use; Qt's unless one was installed.
Prompts& prompts();
// Installs p (not owned; nullptr restores Qt's) and returns the previous one.
Prompts* setPrompts(Prompts* p);

// Owner of the modal dialogs: the application's main window.
void setDialogOwner(QWidget* owner);
QWidget* dialogOwner();

// Turns filter pairs into Qt name filters ("Bitmap (*.bmp)").
QString qtNameFilters(const std::vector<FileFilter>& filters);

} // namespace tintora
