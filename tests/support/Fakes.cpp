#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tintora::test {

FakePrompts::FakePrompts() { m_previous = setPrompts(this); }

FakePrompts::~FakePrompts()
{
    setPrompts(m_previous);
    EXPECT_TRUE(scriptDone()) << "scripted answers left unused";
}

PromptAnswer FakePrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                  PromptButtons buttons, PromptAnswer defaultButton)
{
    m_asked.push_back({"message", text, title, icon, buttons, defaultButton, {}});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected message: " << title.toStdString() << ": " << text.toStdString();
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString FakePrompts::nextPath(const char* kind, const QString& title, const std::vector<FileFilter>& filters,
                              const QString& folder)
{
    m_asked.push_back({kind, folder, title, PromptIcon::None, PromptButtons::Ok, PromptAnswer::Ok, filters});
    if (m_paths.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << title.toStdString();
        return {};
    }
    const QString path = m_paths.front();
    m_paths.pop_front();
    return path;
}

QString FakePrompts::saveFileName(const QString& title, const std::vector<FileFilter>& filters,
                                  const QString& initialFolder)
{
    return nextPath("save", title, filters, initialFolder);
}

QString FakePrompts::openFileName(const QString& title, const std::vector<FileFilter>& filters,
                                  const QString& initialFolder)
{
    return nextPath("open", title, filters, initialFolder);
}

FakeScreen::FakeScreen() { m_previous = setScreen(this); }
FakeScreen::~FakeScreen() { setScreen(m_previous); }

std::uint32_t FakeScreen::pixel(int x, int y)
{
    auto it = pixels.find({x, y});
    return it == pixels.end() ? 0xFFFFFFFFu : it->second;
}

void FakeScreen::setCursor(CursorShape shape)
{
    m_cursor = shape;
    cursorHistory.push_back(shape);
}

} // namespace tintora::test
