#pragma once
#include "platform/Prompts.h"
#include "platform/Screen.h"
#include "support/Files.h"

#include <QString>
#include <deque>
#include <map>
#include <vector>

namespace tintora::test {

// Records every question and answers from a script. A question the script did
// not expect fails the test.
class FakePrompts final : public Prompts {
public:
    struct Asked {
        QString kind; // "message", "save" or "open"
        QString text; // message text, or the dialog's initial folder
        QString title;
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        PromptAnswer defaultButton = PromptAnswer::Ok;
        std::vector<FileFilter> filters;
    };

    FakePrompts();
    ~FakePrompts() override;

    void expectMessage(PromptAnswer answer) { m_answers.push_back(answer); }
    void expectSave(const QString& path) { m_paths.push_back(path); }
    void expectOpen(const QString& path) { m_paths.push_back(path); }

    const std::vector<Asked>& asked() const { return m_asked; }
    bool scriptDone() const { return m_answers.empty() && m_paths.empty(); }

    PromptAnswer message(const QString& text, const QString& title, PromptIcon icon, PromptButtons buttons,
                         PromptAnswer defaultButton) override;
    QString saveFileName(const QString& title, const std::vector<FileFilter>& filters,
                         const QString& initialFolder) override;
    QString openFileName(const QString& title, const std::vector<FileFilter>& filters,
                         const QString& initialFolder) override;

private:
    QString nextPath(const char* kind, const QString& title, const std::vector<FileFilter>& filters,
                     const QString& folder);

    std::deque<PromptAnswer> m_answers;
    std::deque<QString> m_paths;
    std::vector<Asked> m_asked;
    Prompts* m_previous = nullptr;
};

// A desktop of scripted pixels and pointer position.
class FakeScreen final : public Screen {
public:
    FakeScreen();
    ~FakeScreen() override;

    QPoint pos;
    std::map<std::pair<int, int>, std::uint32_t> pixels; // missing pixels read as 0xFFFFFFFF
    std::vector<CursorShape> cursorHistory;

    QPoint cursorPos() override { return pos; }
    std::uint32_t pixel(int x, int y) override;
    void setCursor(CursorShape shape) override;
    CursorShape cursor() const override { return m_cursor; }

private:
    CursorShape m_cursor = CursorShape::Default;
    Screen* m_previous = nullptr;
};

} // namespace tintora::test
